#include "devices/device_kit.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

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
