#include "files/describe.h"

#include <sstream>
#include <vector>

#include "devices/device.h"
#include "files/save_file.h"
#include "level/level.h"

namespace {
std::string describe_code(const char* part, const std::optional<std::string>& code) {
    std::vector<std::string> rows = code_rows(code.value_or(""));
    std::string text = std::string(part) + " " + std::to_string(rows.size()) + "\n";
    for (const std::string& row : rows)
        text += row + "\n";
    return text;
}
} // namespace

std::string describe_part(const Device& device) {
    std::ostringstream line;
    line << "part " << device.kind.letter;
    std::istringstream names(device.kind.fields);
    std::string field;
    for (int value : device.record_fields()) {
        names >> field;
        line << ' ' << field << '=' << value;
    }
    if (device.name[0] != '\0')
        line << " name=" << device.name;
    if (device.fixed)
        line << " fixed";
    return line.str();
}

std::string describe_level(const Level& level) {
    std::string text = "level " + level.level_name + "\n";
    for (const auto& device : level.devices)
        text += describe_part(*device) + "\n";
    return text + describe_code("init", level.init_code) + describe_code("cycle", level.cycle_code);
}
