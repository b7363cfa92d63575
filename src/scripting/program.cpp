#include "scripting/program.h"

#include "devices/device.h"
#include "level/level.h"

std::string assemble_program(Level* level, const std::string& code) {
    std::string program;
    for (auto& device : level->devices)
        program += device->get_code_stub(level);
    program += code;
    return program;
}
