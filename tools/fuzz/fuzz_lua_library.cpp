// Fuzzes the library that a player's program gets, with extreme arguments.
// An input is a list of calls: one byte choosing the function, one the
// argument count, then per argument a kind byte and its data (integers near
// ±2^31 and ±2^53, NaN, ±inf, raw doubles, short texts with any bytes, huge
// texts, tables, functions, patterns). The calls become one chunk, run by the
// game's engine with its limits: every chunk must end (libFuzzer's timeout),
// and nothing may crash or trip the sanitizers. When every argument is sane,
// the game's own functions must also give what Lua 5.1's give.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "scripting/scripting_engine.h"

namespace {

struct Function {
    const char* name;
    bool compared; // the game's own version: compared with Lua 5.1's
};

const Function FUNCTIONS[] = {
    {"unpack", true}, {"table.insert", true}, {"table.remove", true}, {"table.concat", true},
    {"table.sort", true}, {"string.rep", true}, {"math.random", true}, {"string.find", true},
    {"string.match", true}, {"string.gsub", true}, {"gmatch", true}, {"select", false},
    {"string.sub", false}, {"string.byte", false}, {"string.char", false}, {"string.format", false},
    {"string.upper", false}, {"string.reverse", false}, {"table.maxn", false}, {"math.floor", false},
    {"math.fmod", false}, {"math.ldexp", false}, {"math.max", false}, {"tostring", false},
    {"tonumber", false}, {"collectgarbage", false}, {"loadstring", false}, {"coroutine.wrap", false},
    {"coroutine.resume", false}, {"setmetatable", false}, {"rawget", false}, {"next", false},
    {"print", false}, {"io.write", false}, {"os.date", false}, {"os.time", false},
    {"xpcall", false}, {"action", false}, {"getfenv", false}, {"string.dump", false},
};
constexpr std::size_t FUNCTION_COUNT = sizeof FUNCTIONS / sizeof FUNCTIONS[0];

const char* const EDGES[] = {"0", "1", "-1", "2^31 - 1", "2^31", "-2^31", "-2^31 - 1", "2^32", "2^53",
                             "2^53 + 2", "-2^53", "2^63", "-2^63", "2^64", "1e308", "-1e308", "0.5", "-0.5"};
const char* const PATTERNS[] = {"%b()", "[%a-", "(.-)", "%f[%w]", "(()", "%1", "[^%]]", ".-.-.-b", "^(a*)$",
                                "%", "[", "%z+", "(a)%1", "%0", "%2"};
const char* const TABLES[] = {"{}", "{1, 2, 3}", "{'b', 'a', 'c'}", "{[2^31] = 1, [1] = 2, [-1] = 3}",
                              "{3, 1, nil, 2}", "setmetatable({}, {__index = function() return 1 end})",
                              "{('x'):rep(2^20), ('y'):rep(2^20)}"};
const char* const FUNCTIONS_AS_ARGUMENTS[] = {"function(a, b) return a < b end", "function() error('no') end",
                                              "function() return true end", "print",
                                              "function() while true do end end"};
const char* const HUGE_SIZES[] = {"0", "1", "2^16", "2^20", "2^22", "2^23", "2^31"};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    unsigned byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <typename T, std::size_t N>
    const T& pick(const T (&list)[N]) {
        return list[byte() % N];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\%03u", c);
        out += escaped;
    }
    return out + "\"";
}

// One argument as Lua text; `sane` is cleared for an argument Lua 5.1's own
// functions might not survive or finish with.
std::string argument(Reader& in, bool& sane) {
    unsigned kind = in.byte() % 11;
    switch (kind) {
    case 0: return "nil";
    case 1: return in.byte() % 2 ? "true" : "false";
    case 2: sane = false; return "(" + std::string(in.pick(EDGES)) + " + " + std::to_string(int(in.byte() % 5) - 2) + ")";
    case 3: sane = false; return in.byte() % 2 ? "(0 / 0)" : "(-(0 / 0))";
    case 4: sane = false; return in.byte() % 2 ? "math.huge" : "-math.huge";
    case 5: {
        sane = false;
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i)
            bits = bits << 8 | in.byte();
        double value;
        static_assert(sizeof value == sizeof bits);
        std::memcpy(&value, &bits, sizeof value);
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", value);
        return std::isnan(value) ? "(0 / 0)" : std::isinf(value) ? (value > 0 ? "math.huge" : "-math.huge") : text;
    }
    case 6: {
        std::string text;
        for (unsigned n = in.byte() % 17; n > 0; --n)
            text += static_cast<char>(in.byte());
        return quoted(text);
    }
    case 7: sane = false; return "string.rep('\\0a', " + std::string(in.pick(HUGE_SIZES)) + ")";
    case 8: {
        unsigned which = in.byte() % (sizeof TABLES / sizeof TABLES[0]);
        sane = sane && which < 5;
        return TABLES[which];
    }
    case 9: {
        unsigned which = in.byte() % (sizeof FUNCTIONS_AS_ARGUMENTS / sizeof FUNCTIONS_AS_ARGUMENTS[0]);
        sane = sane && which < 3;
        return FUNCTIONS_AS_ARGUMENTS[which];
    }
    default: {
        int n = int(in.byte() % 9) - 2;
        return std::to_string(n) + (in.byte() % 4 == 0 ? ".5" : "");
    }
    }
}

// Shows every result of a call, functions and tables by their type only.
const char PRELUDE[] = R"(
local function show(...)
    local parts = {}
    for i = 1, select('#', ...) do
        local v = select(i, ...)
        local kind = type(v)
        parts[i] = kind == 'string' and string.format('%q', v) or
                   (kind == 'table' or kind == 'function' or kind == 'thread') and kind or tostring(v)
    end
    return table.concat(parts, ' ')
end
local function gmatch(...)
    local next_match = string.gmatch(...)
    return next_match(), next_match()
end
math.randomseed(1)
results = {}
local function call(f, ...) results[#results + 1] = show(pcall(f, ...)) end
)";

std::vector<std::string> results(lua_State* L) {
    std::vector<std::string> lines;
    lua_getglobal(L, "results");
    for (int i = 1; lua_istable(L, -1) && (lua_rawgeti(L, -1, i), lua_isstring(L, -1)); ++i, lua_pop(L, 1))
        lines.emplace_back(lua_tostring(L, -1), lua_objlen(L, -1));
    lua_settop(L, 0);
    return lines;
}

void compare_with_lua(const std::string& program, const std::vector<std::string>& ours) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    if (luaL_loadbuffer(L, program.data(), program.size(), "EVERY TIME") || lua_pcall(L, 0, 0, 0)) {
        std::fprintf(stderr, "Lua 5.1 failed: %s\n%s\n", lua_tostring(L, -1), program.c_str());
        std::abort();
    }
    std::vector<std::string> lua = results(L);
    lua_close(L);
    if (lua != ours) {
        std::fprintf(stderr, "results differ from Lua 5.1's\n%s\n", program.c_str());
        for (std::size_t i = 0; i < lua.size() && i < ours.size(); ++i)
            std::fprintf(stderr, "  Lua 5.1: %s\n  ours:    %s\n", lua[i].c_str(), ours[i].c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // What the programs print is of no interest.
    static std::FILE* quiet = std::freopen("/dev/null", "w", stdout);
    (void)quiet;
    Reader in(data, size);
    std::string program = PRELUDE;
    bool compared = true;
    for (int call = 0; call < 4 && !in.done(); ++call) {
        const Function& function = FUNCTIONS[in.byte() % FUNCTION_COUNT];
        compared = compared && function.compared;
        program += std::string("call(") + function.name;
        bool pattern_function = function.name[0] == 'g' || std::string(function.name).find("string.") == 0;
        for (unsigned i = 1, count = in.byte() % 6; i <= count; ++i) {
            bool pattern = pattern_function && i == 2 && in.byte() % 2;
            program += ", " + (pattern ? quoted(in.pick(PATTERNS)) : argument(in, compared));
        }
        program += ")\n";
    }
    ScriptingEngine engine;
    engine.run_code(program, "EVERY TIME");
    // A sane call never runs into a limit, so both must finish alike.
    if (compared && !engine.error())
        compare_with_lua(program, results(engine.state()));
    return 0;
}
