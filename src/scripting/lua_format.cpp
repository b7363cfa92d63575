#include "scripting/lua_format.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "scripting/work_meter.h"

namespace {

constexpr char ESCAPE = '%';
constexpr char FLAGS[] = "-+ #0";
// Room for one formatted item and one item's directive, as in Lua 5.1:
// widths and precisions have at most two digits.
constexpr std::size_t MAX_ITEM = 512;
constexpr std::size_t MAX_FORMAT = sizeof(FLAGS) + sizeof("l") + 10;
// Formatting one item through the C library costs about as much as a call.
constexpr long long ITEM_COST = 16;

bool is_digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// What the machine's truncating conversion of x to a signed 64-bit integer
// gives, as Lua 5.1's '%d' uses it: the lowest value when x does not fit.
std::int64_t to_signed(lua_Number x) {
    constexpr lua_Number limit = 9223372036854775808.0; // 2^63
    lua_Number whole = std::trunc(x);
    return whole >= -limit && whole < limit ? static_cast<std::int64_t>(whole) : INT64_MIN;
}

// The same to unsigned, as the compiler builds it from the signed one:
// values from 2^63 on are shifted into the signed range first.
std::uint64_t to_unsigned(lua_Number x) {
    constexpr lua_Number half = 9223372036854775808.0; // 2^63
    if (!(x >= half))
        return static_cast<std::uint64_t>(to_signed(x));
    return static_cast<std::uint64_t>(to_signed(x - half)) ^ (std::uint64_t{1} << 63);
}

// '%c' converts to a 32-bit int, with the lowest value when x does not fit.
int to_int(lua_Number x) {
    lua_Number whole = std::trunc(x);
    return whole >= INT32_MIN && whole <= INT32_MAX ? static_cast<int>(whole) : INT32_MIN;
}

// The characters '%q' writes for c, and how many.
std::size_t quote_char(char c, char* out) {
    switch (c) {
    case '"':
    case '\\':
    case '\n': out[0] = '\\'; out[1] = c; return 2;
    case '\r': out[0] = '\\'; out[1] = 'r'; return 2;
    case '\0': std::memcpy(out, "\\000", 4); return 4;
    default: out[0] = c; return 1;
    }
}

// '%q': the text in double quotes, readable back by Lua, made in one
// piece (in room kept from call to call) and added as one value.
void add_quoted(lua_State* L, luaL_Buffer* out, int arg, WorkMeter& meter) {
    std::size_t length;
    const char* s = luaL_checklstring(L, arg, &length);
    meter.add_scanned(length);
    thread_local std::string quoted;
    quoted.resize(4 * length + 2);
    char* end = quoted.data();
    *end++ = '"';
    for (std::size_t i = 0; i < length; ++i)
        end += quote_char(s[i], end);
    *end++ = '"';
    lua_pushlstring(L, quoted.data(), static_cast<std::size_t>(end - quoted.data()));
    luaL_addvalue(out);
}

// Copies one item's directive ("%" flags width precision conversion)
// into `directive` and returns where its conversion letter is.
const char* scan_item(lua_State* L, const char* item, char* directive) {
    const char* p = item;
    while (*p != '\0' && std::strchr(FLAGS, *p) != nullptr)
        ++p;
    if (static_cast<std::size_t>(p - item) >= sizeof(FLAGS))
        luaL_error(L, "invalid format (repeated flags)");
    for (int digit = 0; digit < 2 && is_digit(*p); ++digit)
        ++p;
    if (*p == '.') {
        ++p;
        for (int digit = 0; digit < 2 && is_digit(*p); ++digit)
            ++p;
    }
    if (is_digit(*p))
        luaL_error(L, "invalid format (width or precision too long)");
    directive[0] = ESCAPE;
    std::size_t length = static_cast<std::size_t>(p - item) + 1;
    std::memcpy(directive + 1, item, length);
    directive[length + 1] = '\0';
    return p;
}

// Turns "%...d" into "%...ld", for 64-bit integers.
void widen_integer(char* directive) {
    std::size_t length = std::strlen(directive);
    char conversion = directive[length - 1];
    directive[length - 1] = 'l';
    directive[length] = conversion;
    directive[length + 1] = '\0';
}

// Formats one item other than '%q' into `item`; false when the whole value
// is to be added as it is (a long '%s' without precision).
bool format_item(lua_State* L, int arg, char conversion, char* directive, char (&item)[MAX_ITEM]) {
    switch (conversion) {
    case 'c': std::snprintf(item, MAX_ITEM, directive, to_int(luaL_checknumber(L, arg))); return true;
    case 'd':
    case 'i':
        widen_integer(directive);
        std::snprintf(item, MAX_ITEM, directive, static_cast<long>(to_signed(luaL_checknumber(L, arg))));
        return true;
    case 'o':
    case 'u':
    case 'x':
    case 'X':
        widen_integer(directive);
        std::snprintf(item, MAX_ITEM, directive, static_cast<unsigned long>(to_unsigned(luaL_checknumber(L, arg))));
        return true;
    case 'e':
    case 'E':
    case 'f':
    case 'g':
    case 'G': std::snprintf(item, MAX_ITEM, directive, static_cast<double>(luaL_checknumber(L, arg))); return true;
    case 's': {
        std::size_t length;
        const char* text = luaL_checklstring(L, arg, &length);
        if (std::strchr(directive, '.') == nullptr && length >= 100)
            return false;
        std::snprintf(item, MAX_ITEM, directive, text);
        return true;
    }
    default:
        luaL_error(L, "invalid option '%%%c' to 'format'", conversion);
        return false;
    }
}

} // namespace

int metered_format(lua_State* L) {
    int top = lua_gettop(L);
    int arg = 1;
    std::size_t format_length;
    const char* format = luaL_checklstring(L, arg, &format_length);
    const char* format_end = format + format_length;
    WorkMeter meter(L);
    meter.add_scanned(format_length);
    luaL_Buffer out;
    luaL_buffinit(L, &out);
    while (format < format_end) {
        if (*format != ESCAPE) {
            luaL_addchar(&out, *format++);
            continue;
        }
        if (*++format == ESCAPE) {
            luaL_addchar(&out, *format++);
            continue;
        }
        char directive[MAX_FORMAT];
        char item[MAX_ITEM];
        meter.add(ITEM_COST);
        if (++arg > top)
            luaL_argerror(L, arg, "no value");
        format = scan_item(L, format, directive);
        char conversion = *format++;
        if (conversion == 'q') {
            add_quoted(L, &out, arg, meter);
        } else if (format_item(L, arg, conversion, directive, item)) {
            luaL_addlstring(&out, item, std::strlen(item));
        } else {
            meter.add_bytes(lua_objlen(L, arg));
            lua_pushvalue(L, arg);
            luaL_addvalue(&out);
        }
    }
    meter.settle();
    luaL_pushresult(&out);
    return 1;
}
