// The game's pattern functions (string.find, match, gmatch, gsub) give what
// Lua 5.1's own give, on a table of tricky cases and on thousands of random
// patterns, yet a runaway search stops like a runaway loop.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "scripting/lua_patterns.h"
#include "scripting/scripting_engine.h"

namespace {

using Clock = std::chrono::steady_clock;

struct LuaCloser {
    void operator()(lua_State* L) const { lua_close(L); }
};
using PlainLua = std::unique_ptr<lua_State, LuaCloser>;

// A state with Lua's own libraries, untouched.
PlainLua plain_lua() {
    PlainLua L(luaL_newstate());
    luaL_openlibs(L.get());
    return L;
}

// Runs code in a plain state under the engine's chunk name, so that error
// messages read alike in both; returns the error message, if any.
std::optional<std::string> run_plain(lua_State* L, const std::string& code) {
    if (luaL_loadbuffer(L, code.data(), code.size(), "EVERY TIME") == 0 && lua_pcall(L, 0, 0, 0) == 0)
        return std::nullopt;
    std::string message = lua_tostring(L, -1);
    lua_pop(L, 1);
    return message;
}

// Runs each case of the global `cases` and leaves one line per case in the
// global `results`: the call and its outcome (pcall's results). A case is
// {function name, arguments..., n = argument count + 1, method = call as
// s:name(...), repl = index into R for gsub's third argument}. Functions and
// tables show as their type only, since addresses differ between states.
const char DRIVER[] = R"(
R = {
    function(...) return select('#', ...) .. ':' .. table.concat({...}, ',') end,
    function(c) if c == 'a' then return nil end return '<' .. tostring(c) .. '>' end,
    function() return false end,
    function() return {} end,
    function(c) return #tostring(c) end,
    {a = 'A', b = false, ['('] = 1.5, x = {}, [''] = 'E', [1] = 'one', [2] = true},
    function() return true end,
}

local function show(...)
    local parts = {}
    for i = 1, select('#', ...) do
        local v = select(i, ...)
        local kind = type(v)
        if kind == 'string' then
            parts[i] = string.format('%q', v)
        elseif kind == 'number' or kind == 'boolean' or kind == 'nil' then
            parts[i] = tostring(v)
        else
            parts[i] = kind
        end
    end
    return table.concat(parts, ' ')
end

local function pack(...) return {n = select('#', ...), ...} end
local function call(f, ...) return f(...) end

local function iterate(f, ...)
    local next_match = f(...)
    local found = {}
    for _ = 1, 100 do
        local r = pack(next_match())
        if r.n == 0 then break end
        found[#found + 1] = show(unpack(r, 1, r.n))
    end
    return table.concat(found, ' | ')
end

local methods = {
    find = function(s, ...) return s:find(...) end,
    match = function(s, ...) return s:match(...) end,
    gmatch = function(s, ...) return s:gmatch(...) end,
    gfind = function(s, ...) return s:gfind(...) end,
    gsub = function(s, ...) return s:gsub(...) end,
}

function run_cases()
    results = {}
    for i, c in ipairs(cases) do
        if c.repl then c[4] = R[c.repl] end
        local n = c.n or #c
        local name = c[1]
        local f = c.method and methods[name] or string[name]
        local runner = (name == 'gmatch' or name == 'gfind') and iterate or call
        local outcome = pack(pcall(runner, f, unpack(c, 2, n)))
        results[i] = (c.method and 'method ' or '') .. show(unpack(c, 1, n)) .. ' => ' ..
                     show(unpack(outcome, 1, outcome.n))
    end
end
)";

// Hand-picked cases: every feature, the corners where Lua 5.1 differs from
// later versions, and every error.
const char TRICKY_CASES[] = R"(
local all_bytes = {}
for i = 0, 255 do all_bytes[#all_bytes + 1] = string.char(i) end
all_bytes = table.concat(all_bytes)
cases = {
    -- find: init, plain, anchors, zero bytes, numbers as strings
    {'find', 'hello world', 'o w'}, {'find', 'hello', 'l', 1}, {'find', 'hello', 'l', -2},
    {'find', 'hello', 'l', -100}, {'find', 'hello', 'l', 100}, {'find', 'hello', '', 10},
    {'find', 'hello', '', 6}, {'find', '', ''}, {'find', '', '', 2}, {'find', '', 'a'},
    {'find', 'abc', 'x*', 10}, {'find', 'abc', 'c', 0}, {'find', 'abc', 'b', '2'}, {'find', 'abc', 'b', 1.9},
    {'find', 'a.b', '.', 1, true}, {'find', 'a+b', '+', 1, true}, {'find', 'a.b', '%.'},
    {'find', 'abc', 'b', nil, true, n = 5}, {'find', 'a.c', '.', 2, 1}, {'find', 'a.c', '.', 2, false},
    {'find', 'abc', '^b'}, {'find', 'abc', '^a'}, {'find', 'abc', '^'}, {'find', 'abc', '$'},
    {'find', 'a$c', '$c'}, {'find', 'abc', 'c$'}, {'find', 'ab^c', 'b^c'}, {'find', 'abc', '^', 10},
    {'find', 'a$', '$$'}, {'find', 'abc', '^abc$'}, {'find', 'abcabc', 'c', -3},
    {'find', 'a\0b', '\0'}, {'find', 'a\0b', '%z'}, {'find', 'a\0b', 'a\0x'}, {'find', 'a\0b', '.\0x'},
    {'find', 'a\0b', '[%z]'}, {'find', 'a\0b', '[^%z]+', 2}, {'find', 'a\0b', '%Z+'},
    {'find', 'abc', 'b()'}, {'find', 'hello', '(l)(l)'}, {'find', 'hello', '()ll()'},
    {'find', 12345, 34}, {'find', 12345, '%d+'}, {'find', 'abc', 'b', 'x'}, {'find'}, {'find', 'abc'},
    {'find', {}, 'a'}, {'find', 'abc', nil, n = 3}, {'find', 'abc', 'b', {}}, {'find', 1e15, '0+'},
    -- match: captures, nesting, lazy and greedy runs
    {'match', 'hello world', '(%w+) (%w+)'}, {'match', 'key = value', '(%w+)%s*=%s*(%w+)'},
    {'match', '  trim me  ', '^%s*(.-)%s*$'}, {'match', 'abc', '()b()'}, {'match', 'abc', 'b', -1},
    {'match', 'abc', '(a)(b)(c)'}, {'match', 'abc', '((a)(b))'}, {'match', 'abc', ''}, {'match', 'abc', '.-'},
    {'match', 'abc', '.-$'}, {'match', 'abc', '(.-)c'}, {'match', 'abc', '(.*)c'}, {'match', 'abc', 'a(.?)'},
    {'match', 'THE (quick) fox', '%((%a+)%)'}, {'match', 'f(a(b)c)d', '%b()'}, {'match', '[[x]]', '%b[]'},
    {'match', 'aaa', '%baa'}, {'match', 'f(a(b', '%b()'}, {'match', 'x)', '%b)('}, {'match', '((a)', '%b()'},
    {'match', 'date 2024-06-11', '(%d+)-(%d+)-(%d+)'}, {'match', '0x1F', '^0[xX](%x+)$'},
    {'match', 'a,b,,c', '([^,]*),([^,]*),([^,]*)'}, {'match', 'abc', '[]'}, {'match', 'x]', '[]]'},
    {'match', 'a^', '[^^]+'}, {'match', 'a-', '[a-]+'}, {'match', '-a', '[-a]+'}, {'match', 'abcd', '[a-c]+'},
    {'match', 'ABCd', '[^a-c]+'}, {'match', '100%', '[%%]'}, {'match', 'x5', '[%d]'}, {'match', '-', '[%a-z]'},
    {'match', 'b', '[z-a]'}, {'match', 'a]b', '[%]]'}, {'match', 'a]b', '[a%]]+'}, {'match', 'a', '[a%]'},
    {'match', 'aa*', 'a**'}, {'match', 'a*b', '(*)'}, {'match', 'a-b', '-'}, {'match', 'a?', 'a??'},
    {'match', 'a+b', 'a+%+'}, {'match', '$x', '%$x'}, {'match', '^x', '%^x'}, {'match', 'a.b', 'a%.b'},
    {'match', 'aaab', 'a-b'}, {'match', 'aaab', 'a-'}, {'match', 'aaab', 'a+'}, {'match', 'b', 'a+'},
    {'match', ('a'):rep(150), ('a?'):rep(150)}, {'match', ('ab'):rep(20), ('(a)(b)'):rep(16)},
    -- frontiers
    {'gsub', 'THE (quick) fox', '%f[%a]%a+', 'W'}, {'find', 'the', '%f[%l]'}, {'find', 'the', '%f[%z]'},
    {'find', 'the', '%f[^%z]'}, {'gsub', 'hello world', '%f[%w]%w+', '<%0>'}, {'find', 'ab', '%f[b]'},
    {'gsub', 'a b', '%f[%s]', '|'}, {'gsub', 'a b', '%f[%S]', '|'}, {'find', 'a', '%f'}, {'find', 'a', '%fa'},
    {'find', 'a', '%f[a'},
    -- back references
    {'match', 'say "hi" now', '(["\'])(.-)%1'}, {'match', 'abab', '(ab)%1'}, {'match', 'aXbXc', '(X).-%1'},
    {'find', 'abc', '()%1'}, {'match', 'aa', '(a)%0'}, {'match', 'aa', '(a%1)'}, {'match', 'aa', '%1'},
    {'match', 'aa', '(a)%2'}, {'match', 'aaaa', '(a*)%1$'}, {'match', 'xyzxyz', '^(.+)%1$'},
    -- malformed patterns, raised only where matching reaches them
    {'find', 'a', '%'}, {'find', 'a', 'a%'}, {'find', 'b', 'a%'}, {'find', 'a', '[a'}, {'find', 'a', '[a%'},
    {'find', 'xabc', 'x['}, {'find', 'abc', 'x['}, {'find', 'a', '(()'}, {'find', 'b', '(a'}, {'find', 'a', '(a'},
    {'find', 'a', ')'}, {'find', 'a', '.)'}, {'match', 'a', ')'}, {'gsub', 'ab', 'a)', ''}, {'find', 'a', '%b'}, {'find', 'a', '%ba'}, {'find', '', '%b'},
    {'find', 'a', '[^'}, {'find', 'a', '[]'}, {'find', 'a', '[^]'}, {'find', 'a', '%g'},
    {'match', ('a'):rep(40), ('(a)'):rep(33)}, {'match', ('a'):rep(40), ('(a)'):rep(32)},
    {'match', ('a'):rep(40), ('()'):rep(33)},
    -- every byte against every class
    {'gsub', all_bytes, '%a', ''}, {'gsub', all_bytes, '%c', ''}, {'gsub', all_bytes, '%d', ''},
    {'gsub', all_bytes, '%l', ''}, {'gsub', all_bytes, '%p', ''}, {'gsub', all_bytes, '%s', ''},
    {'gsub', all_bytes, '%u', ''}, {'gsub', all_bytes, '%w', ''}, {'gsub', all_bytes, '%x', ''},
    {'gsub', all_bytes, '%z', ''}, {'gsub', all_bytes, '%A', ''}, {'gsub', all_bytes, '%C', ''},
    {'gsub', all_bytes, '%P', ''}, {'gsub', all_bytes, '%S', ''}, {'gsub', all_bytes, '%W', ''},
    {'gsub', all_bytes, '%Z', ''}, {'gsub', all_bytes, '[%w_]', ''}, {'gsub', all_bytes, '[^%p%s]', ''},
    {'gsub', all_bytes, '[\128-\255]', ''}, {'gsub', all_bytes, '.', ''}, {'gsub', all_bytes, '%f[%w]', '|'},
    -- gmatch: iteration, the empty-match step, '^' as a plain character
    {'gmatch', 'hello world from Lua', '%a+'}, {'gmatch', 'abc', 'a*'}, {'gmatch', 'abc', ''},
    {'gmatch', '', 'x*'}, {'gmatch', 'k1=v1, k2=v2', '(%w+)=(%w+)'}, {'gmatch', 'abc', '()'},
    {'gmatch', 'one two', '()(%a+)()'}, {'gmatch', '^a^a', '^a'}, {'gmatch', 'aXbX', '.-X'},
    {'gmatch', 'abc', '[a'}, {'gmatch', 'abc', '%'}, {'gmatch', 'ab', '(a'}, {'gmatch', 12321, '2'},
    {'gmatch', 'abc'}, {'gfind', 'a b', '%a'}, {'gmatch', 'a,b,,c', '([^,]*)'},
    -- gsub: templates, functions, tables, counts
    {'gsub', 'hello world', 'o', '0'}, {'gsub', 'hello world', 'o', '0', 1}, {'gsub', 'hello', 'l', 'L', 0},
    {'gsub', 'hello', 'l', 'L', -1}, {'gsub', 'hello', '', '-'}, {'gsub', 'hello', '', '-', 2},
    {'gsub', 'abc', '%w', '%0%0'}, {'gsub', 'abc', '(%w)', '%1-'}, {'gsub', 'abc', '%w', '%2'},
    {'gsub', 'abc', '%w', '%1'}, {'gsub', 'abc', 'b', '%'}, {'gsub', 'abc', 'b', '%%'}, {'gsub', 'abc', 'b', '%x'},
    {'gsub', 'abc', '()b', '%1'}, {'gsub', 'abc', '(b)()', '%2%1'}, {'gsub', 'abc', 'b', 5},
    {'gsub', 'abc', 'b', 'x', 2.7}, {'gsub', 'abc', '(b', 'x'}, {'gsub', 'abc', '(b', '%1'},
    {'gsub', 'abc', '(b', 'x', repl = 1}, {'gsub', 'abc', 'b', true}, {'gsub', 'abc', 'b', nil, n = 4},
    {'gsub', 'abc', 'b', 'x', 'y'}, {'gsub', 'abc', 'b', 'x', '1'}, {'gsub', 'abc', '^a', 'X'},
    {'gsub', 'aaa', '^a', 'X'}, {'gsub', 'abc', '$', '!'}, {'gsub', 'abc', '^', '!'}, {'gsub', 'a\0b', '%z', '0'},
    {'gsub', 'f(a(b)c) g(x)', '%b()', '[]'}, {'gsub', ('ab'):rep(500), 'b', 'cd'},
    {'gsub', 'hello world', '%w+', nil, repl = 1}, {'gsub', 'abc', '%w', nil, repl = 2},
    {'gsub', 'abc', '%w', nil, repl = 3}, {'gsub', 'abc', '%w', nil, repl = 4}, {'gsub', 'abc', '(%w)()', nil, repl = 5},
    {'gsub', 'abcx(', '%w', nil, repl = 6}, {'gsub', 'abc', '()', nil, repl = 6}, {'gsub', 'abx', '(.)(.)', nil, repl = 6},
    {'gsub', 'x', 'x', nil, repl = 6}, {'gsub', 'abc', 'b', nil, repl = 7}, {'gsub', 'abc', '', nil, repl = 1},
    {'gsub', 'abc', '%w', nil, 2, repl = 1}, {'gsub', 'abc', '%w', {}}, {'gsub', 'abc', '[', ''},
    {'gsub', '', '', 'x'}, {'gsub', '', 'x*', 'y'}, {'gsub', 'abc', '.-', '-'}, {'gsub', 'abc', 'b*', '-'},
    -- as methods on strings
    {'find', 'hello', 'l+', method = true}, {'match', 'hello', '(h)(e)', method = true},
    {'gmatch', 'a b c', '%a', method = true}, {'gsub', 'hello', 'l', 'L', method = true},
    {'find', 'hello', '%', method = true}, {'gsub', 'hello', 'l', method = true}, {'gfind', 'ab', '.', method = true},
}
)";

// Arguments of a random case.
struct Argument {
    enum Kind { NIL, NUMBER, TEXT, BOOLEAN } kind = NIL;
    double number = 0;
    std::string text;
};

struct RandomCase {
    std::string function;
    std::vector<Argument> arguments;
    int replacement = 0;  // index into the driver's R, 0 for none
    bool as_method = false;
};

// Patterns built from pieces that exercise every feature, with now and then
// a malformed piece; subjects from the characters those pieces look for.
class CaseMaker {
public:
    RandomCase make() {
        RandomCase c;
        c.function = FUNCTIONS[below(4)];
        c.as_method = below(5) == 0;
        std::string p = pattern();
        c.arguments.push_back(text(below(2) == 0 ? subject() : subject_like(p)));
        c.arguments.push_back(text(p));
        if (c.function == "find" || c.function == "match") {
            if (below(2) == 0)
                c.arguments.push_back(number(below(33) - 16));
            if (c.function == "find" && below(5) == 0) {
                if (c.arguments.size() == 2)
                    c.arguments.push_back(Argument{});
                c.arguments.push_back(Argument{Argument::BOOLEAN, 1, ""});
            }
        } else if (c.function == "gsub") {
            int kind = below(10);
            if (kind < 4)
                c.arguments.push_back(text(pick(TEMPLATES)));
            else if (kind == 4)
                c.arguments.push_back(number(below(100)));
            else
                c.replacement = 1 + below(7);
            if (c.replacement)
                c.arguments.push_back(Argument{});
            if (below(3) == 0)
                c.arguments.push_back(number(below(5) - 1));
        }
        return c;
    }

private:
    static constexpr const char* FUNCTIONS[] = {"find", "match", "gmatch", "gsub"};
    static constexpr const char* TEMPLATES[] = {"<%0>", "%1", "[%2]", "%%", "x%", "%a", "", "%1%0", "-"};
    // Common pieces come several times.
    static constexpr const char* ATOMS[] = {
        "a",   "a",    "a",    "b",     "b",     "x",      ".",    ".",    ".",    "%a",   "%a",  "%d",
        "%s",  "%w",   "%p",   "%l",    "%u",    "%x",     "%c",   "%z",   "%A",   "%D",   "%S",  "%W",
        "%Z",  "%.",   "%%",   "%(",    "%]",    "%-",     "[ab]", "[ab]", "[^a]", "[^a]", "[a-c]", "[%a%d]",
        "[]a]", "[^]]", "[a-]", "[%]]", "[(]",   "[%z]",   " ",    "1",    "-",    "*",    "%$",  "A"};
    static constexpr const char* SPECIAL_ITEMS[] = {"()", "%1", "%2", "%0", "%b()", "%bab", "%f[%a]", "%f[^a]", "%f[%z]"};
    static constexpr const char* MALFORMED[] = {"%", "[", "[a", "%f", "%fa", "%b", "%ba", ")", "(", "[%"};
    static constexpr char SUBJECT_CHARACTERS[] = "aaaaaabbbbxx()[]1 .%-^$A";

    std::mt19937 random_{20240611};

    int below(std::size_t n) { return static_cast<int>(random_() % n); }
    template <std::size_t N>
    const char* pick(const char* const (&pieces)[N]) {
        return pieces[below(N)];
    }

    static Argument text(std::string s) { return Argument{Argument::TEXT, 0, std::move(s)}; }
    static Argument number(double n) { return Argument{Argument::NUMBER, n, ""}; }

    std::string subject() {
        std::string s;
        for (int n = below(21); n > 0; --n)
            s += below(20) == 0 ? '\0' : SUBJECT_CHARACTERS[below(sizeof SUBJECT_CHARACTERS - 1)];
        return s;
    }

    // The pattern's own characters with some of its magic left out and
    // random characters in between: a subject that often nearly matches.
    std::string subject_like(const std::string& pattern) {
        std::string s;
        for (char c : pattern) {
            if (below(4) == 0)
                s += SUBJECT_CHARACTERS[below(sizeof SUBJECT_CHARACTERS - 1)];
            if (std::strchr("%*+-?^$[]()", c) == nullptr || below(3) == 0)
                s += c;
        }
        return s;
    }

    std::string items(int nesting) {
        std::string p;
        for (int n = 1 + below(4); n > 0; --n) {
            int kind = below(100);
            if (kind < 70) {
                p += pick(ATOMS);
                if (below(5) < 2)
                    p += "*+-?"[below(4)];
            } else if (kind < 80 && nesting < 2) {
                p += "(" + items(nesting + 1) + ")";
            } else if (kind < 95) {
                p += pick(SPECIAL_ITEMS);
            } else if (kind < 98) {
                p += pick(MALFORMED);
            } else {
                p += '\0';
            }
        }
        return p;
    }

    std::string pattern() {
        std::string p = below(6) == 0 ? "^" : "";
        p += items(0);
        if (below(6) == 0)
            p += "$";
        return p;
    }
};

void push_argument(lua_State* L, const Argument& argument) {
    switch (argument.kind) {
    case Argument::NIL: lua_pushnil(L); break;
    case Argument::NUMBER: lua_pushnumber(L, argument.number); break;
    case Argument::TEXT: lua_pushlstring(L, argument.text.data(), argument.text.size()); break;
    case Argument::BOOLEAN: lua_pushboolean(L, argument.number != 0); break;
    }
}

// Makes the global `cases` of the driver from random cases.
void set_cases(lua_State* L, const std::vector<RandomCase>& cases) {
    lua_newtable(L);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const RandomCase& c = cases[i];
        lua_newtable(L);
        lua_pushstring(L, c.function.c_str());
        lua_rawseti(L, -2, 1);
        for (std::size_t a = 0; a < c.arguments.size(); ++a) {
            push_argument(L, c.arguments[a]);
            lua_rawseti(L, -2, static_cast<int>(a + 2));
        }
        lua_pushinteger(L, static_cast<lua_Integer>(c.arguments.size() + 1));
        lua_setfield(L, -2, "n");
        lua_pushboolean(L, c.as_method);
        lua_setfield(L, -2, "method");
        if (c.replacement) {
            lua_pushinteger(L, c.replacement);
            lua_setfield(L, -2, "repl");
        }
        lua_rawseti(L, -2, static_cast<int>(i + 1));
    }
    lua_setglobal(L, "cases");
}

std::vector<std::string> read_results(lua_State* L) {
    std::vector<std::string> results;
    lua_getglobal(L, "results");
    for (int i = 1;; ++i) {
        lua_rawgeti(L, -1, i);
        if (lua_type(L, -1) != LUA_TSTRING) {
            lua_pop(L, 1);
            break;
        }
        std::size_t length;
        const char* line = lua_tolstring(L, -1, &length);
        results.emplace_back(line, length);
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return results;
}

// Both sides of the comparison: the game's engine (our functions) and a
// plain state (Lua's own), each with the driver loaded.
class SideBySide {
public:
    SideBySide() : original_(plain_lua()) {
        engine_.run_code(DRIVER, "EVERY TIME");
        EXPECT_FALSE(engine_.error) << *engine_.error;
        EXPECT_EQ(run_plain(original_.get(), DRIVER), std::nullopt);
    }

    // Runs the cases that `setup` makes on both sides and returns the
    // number of cases; the lines of both sides are kept.
    template <typename Setup>
    std::size_t run(Setup setup) {
        setup(engine_, original_.get());
        engine_.run_code("run_cases()", "EVERY TIME");
        EXPECT_FALSE(engine_.error) << *engine_.error;
        EXPECT_EQ(run_plain(original_.get(), "run_cases()"), std::nullopt);
        ours = read_results(engine_.lua);
        lua = read_results(original_.get());
        return lua.size();
    }

    std::vector<std::string> ours;
    std::vector<std::string> lua;

private:
    ScriptingEngine engine_;
    PlainLua original_;
};

// Number of lines that differ, printing the first few.
int differences(const std::vector<std::string>& ours, const std::vector<std::string>& lua) {
    int differing = 0;
    for (std::size_t i = 0; i < lua.size(); ++i) {
        std::string mine = i < ours.size() ? ours[i] : "(missing)";
        if (mine == lua[i])
            continue;
        if (++differing <= 20)
            ADD_FAILURE() << "case " << i + 1 << "\n  Lua 5.1: " << lua[i] << "\n  ours:    " << mine;
    }
    return differing;
}

TEST(LuaPatterns, TrickyCasesGiveWhatLua51Gives) {
    SideBySide sides;
    std::size_t count = sides.run([](ScriptingEngine& engine, lua_State* original) {
        engine.run_code(TRICKY_CASES, "EVERY TIME");
        EXPECT_FALSE(engine.error) << *engine.error;
        EXPECT_EQ(run_plain(original, TRICKY_CASES), std::nullopt);
    });
    EXPECT_GT(count, 200u);
    EXPECT_EQ(sides.ours.size(), count);
    EXPECT_EQ(differences(sides.ours, sides.lua), 0);
    // The table reaches every error message.
    std::string all;
    for (const std::string& line : sides.lua)
        all += line + "\n";
    for (const char* message : {"malformed pattern (ends with '%')", "malformed pattern (missing ']')",
                                "invalid capture index", "invalid pattern capture", "unfinished capture",
                                "missing '[' after '%f' in pattern", "too many captures", "unbalanced pattern",
                                "invalid replacement value (a table)", "invalid replacement value (a boolean)",
                                "string/function/table expected"})
        EXPECT_NE(all.find(message), std::string::npos) << message;
}

TEST(LuaPatterns, RandomPatternsGiveWhatLua51Gives) {
    const int batches = 8;
    const int per_batch = 500;
    CaseMaker maker;
    SideBySide sides;
    int differing = 0;
    int matched = 0;
    int failed = 0;
    for (int batch = 0; batch < batches; ++batch) {
        std::vector<RandomCase> cases;
        for (int i = 0; i < per_batch; ++i)
            cases.push_back(maker.make());
        std::size_t count = sides.run([&](ScriptingEngine& engine, lua_State* original) {
            set_cases(engine.lua, cases);
            set_cases(original, cases);
        });
        ASSERT_EQ(count, cases.size());
        differing += differences(sides.ours, sides.lua);
        for (const std::string& line : sides.lua) {
            std::string outcome = line.substr(line.find(" => ") + 4);
            bool raised = outcome.compare(0, 5, "false") == 0;
            bool nothing = outcome == "true nil" || outcome == "true \"\"" ||
                           outcome.compare(outcome.size() - 2, 2, " 0") == 0;
            failed += raised;
            matched += !raised && !nothing;
        }
    }
    int total = batches * per_batch;
    std::cout << "[ measured ] " << total << " random cases: " << matched << " found something, " << failed
              << " raised an error, " << differing << " differ from Lua 5.1\n";
    EXPECT_EQ(differing, 0);
    // The generator must exercise both matching and the error paths.
    EXPECT_GT(matched, total / 5);
    EXPECT_GT(failed, total / 50);
    EXPECT_LT(failed, total / 3);
}

// Lua's own pattern functions in place of ours, taken from a plain state.
void put_back_lua_functions(lua_State* L, lua_State* original) {
    lua_getglobal(original, "string");
    lua_getglobal(L, "string");
    for (const char* name : {"find", "match", "gmatch", "gsub"}) {
        lua_getfield(original, -1, name);
        lua_pushcfunction(L, lua_tocfunction(original, -1));
        lua_setfield(L, -2, name);
        lua_pop(original, 1);
    }
    lua_pop(original, 1);
    lua_pop(L, 1);
}

// Not a correctness check but the price of the watch: a chunk of ten
// thousand everyday pattern calls, with ours and with Lua's own.
TEST(PatternCost, TenThousandEverydayCallsPerChunk) {
    const char* chunk = R"(
        local line = 'pusher_12 = on, sensor_3 = 42 ; grabber_0 at 7'
        local found = 0
        for i = 1, 2000 do
            if line:find('sensor_%d+') then found = found + 1 end
            if line:find(';', 1, true) then found = found + 1 end
            local key, value = line:match('(%w+)%s*=%s*(%w+)')
            local squeezed, count = line:gsub('%s+', ' ')
            for word in line:gmatch('%a+') do found = found + #word end
            found = found + count + #key + #value + #squeezed
        end
        total = found
    )";
    PlainLua original = plain_lua();
    ScriptingEngine with_lua_functions;
    put_back_lua_functions(with_lua_functions.lua, original.get());
    ScriptingEngine with_ours;
    const int chunks = 20;
    double micros[2] = {0, 0};
    long long totals[2] = {0, 0};
    ScriptingEngine* engines[2] = {&with_lua_functions, &with_ours};
    for (int i = 0; i < chunks; ++i) {
        for (int e = 0; e < 2; ++e) {
            auto start = Clock::now();
            engines[e]->run_code(chunk, "EVERY TIME");
            micros[e] += std::chrono::duration<double, std::micro>(Clock::now() - start).count() / chunks;
            ASSERT_FALSE(engines[e]->error) << *engines[e]->error;
        }
    }
    for (int e = 0; e < 2; ++e) {
        lua_getglobal(engines[e]->lua, "total");
        totals[e] = lua_tointeger(engines[e]->lua, -1);
        lua_pop(engines[e]->lua, 1);
    }
    std::cout << "[ measured ] 2,000 rounds of five pattern calls per chunk: " << micros[0] << " us with Lua's functions, "
              << micros[1] << " us with ours\n";
    EXPECT_EQ(totals[1], totals[0]);
    EXPECT_GT(totals[0], 0);
}

} // namespace
