#include "devices/device_kit.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "devices/device.h"
#include "level/level.h"

std::string format_text(std::size_t capacity, const char* format, ...) {
    std::vector<char> buffer(capacity > 0 ? capacity : 1, '\0');
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    return buffer.data();
}

std::string on_off_stub(const char* name) {
    return format_text(CODE_STUB_SIZE,
                       "%s = { on = function (x) if x then action('%s','on',0) else action('%s','off',0) end end }\n",
                       name, name, name);
}

FloorCell front_cell(int x, int y, int direction) {
    Step step = direction_step(direction);
    return {x + step.dx, y + step.dy};
}

FloorCell front_pixel(int px, int py, int direction) {
    Step step = direction_step(direction);
    return {px + step.dx * CELL_PX, py + step.dy * CELL_PX};
}

int facing_angle(int direction) {
    if (direction < DIR_UP || direction > DIR_LEFT)
        return 0;
    return -90 * direction;
}
