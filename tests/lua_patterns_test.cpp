// The game's pattern functions (string.find, match, gmatch, gsub) give what
// Lua 5.1's own give, on a table of tricky cases and on thousands of random
// patterns, errors included.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "scripting/scripting_engine.h"

namespace {

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
        parts[i] = kind == 'string' and string.format('%q', v) or
                   (kind == 'table' or kind == 'function') and kind or tostring(v)
    end
    return table.concat(parts, ' ')
end
local function pack(...) return {n = select('#', ...), ...} end
local function call(f, ...) return f(...) end
local function iterate(f, ...)
    local next_match, found = f(...), {}
    for _ = 1, 100 do
        local r = pack(next_match())
        if r.n == 0 then break end
        found[#found + 1] = show(unpack(r, 1, r.n))
    end
    return table.concat(found, ' | ')
end
function run_cases()
    results = {}
    for i, c in ipairs(cases) do
        if c.repl then c[4] = R[c.repl] end
        local n, name = c.n or #c, c[1]
        local f = c.method and function(s, ...) return s[name](s, ...) end or string[name]
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
cases = {
    -- find: init, plain, anchors, zero bytes, numbers as strings, bad arguments
    {'find', 'hello world', 'o w'}, {'find', 'hello', 'l', -2}, {'find', 'hello', 'l', -100}, {'find', 'hello', '', 10},
    {'find', 'abc', 'b', '2'}, {'find', 'abc', 'b', 1.9}, {'find', 'a.b', '.', 1, true}, {'find', 'a.c', '.', 2, 1},
    {'find', 'abc', 'b', nil, true, n = 5}, {'find', 'abc', '^b'}, {'find', 'a$c', '$c'}, {'find', 'ab^c', 'b^c'},
    {'find', 'abc', '^', 10}, {'find', 'a\0b', '\0'}, {'find', 'a\0b', '%z'}, {'find', 'a\0b', 'a\0x'},
    {'find', 'a\0b', '%Z+'}, {'find', 'abc', 'b()'}, {'find', 12345, 34}, {'find'}, {'find', {}, 'a'},
    {'find', 'abc', 'b', 'x'},
    -- match: captures, lazy runs, balances, sets, odd quantifiers, capture limits
    {'match', 'key = value', '(%w+)%s*=%s*(%w+)'}, {'match', '  trim me  ', '^%s*(.-)%s*$'}, {'match', 'abc', '.-'},
    {'match', 'abc', '((a)(b))'}, {'match', 'f(a(b)c)d', '%b()'}, {'match', 'f(a(b', '%b()'}, {'match', 'x)', '%b)('},
    {'match', 'abc', '[]'}, {'match', 'x]', '[]]'}, {'match', 'a^', '[^^]+'}, {'match', 'a-', '[a-]+'},
    {'match', '-', '[%a-z]'}, {'match', 'b', '[z-a]'}, {'match', 'a', '[a%]'}, {'match', 'aa*', 'a**'},
    {'match', 'a*b', '(*)'}, {'match', 'a?', 'a??'}, {'match', ('a'):rep(150), ('a?'):rep(150)},
    {'match', ('ab'):rep(20), ('(a)(b)'):rep(16)}, {'match', ('a'):rep(40), ('(a)'):rep(33)},
    {'match', ('a'):rep(40), ('()'):rep(33)},
    -- frontiers and back references
    {'gsub', 'THE (quick) fox', '%f[%a]%a+', 'W'}, {'find', 'the', '%f[%z]'}, {'find', 'the', '%f[^%z]'},
    {'find', 'a', '%f'}, {'find', 'a', '%fa'}, {'match', 'say "hi" now', '(["\'])(.-)%1'}, {'find', 'abc', '()%1'},
    {'match', 'aa', '(a)%0'}, {'match', 'aa', '(a%1)'}, {'match', 'aa', '(a)%2'},
    -- malformed patterns, raised only where matching reaches them
    {'find', 'a', '%'}, {'find', 'b', 'a%'}, {'find', 'a', 'a%'}, {'find', 'a', '[a'}, {'find', 'xabc', 'x['},
    {'find', 'abc', 'x['}, {'find', 'b', '(a'}, {'find', 'a', '(a'}, {'find', 'a', ')'}, {'find', 'a', '.)'},
    {'find', 'a', '%b'}, {'find', 'a', '[^]'}, {'find', 'a', '%g'},
    -- gmatch: iteration, the empty-match step, '^' as a plain character
    {'gmatch', 'hello world', '%a+'}, {'gmatch', 'abc', 'a*'}, {'gmatch', '', 'x*'}, {'gmatch', 'one two', '()(%a+)()'},
    {'gmatch', '^a^a', '^a'}, {'gmatch', 'abc', '[a'}, {'gmatch', 12321, '2'}, {'gmatch', 'abc'},
    {'gfind', 'a b', '%a'},
    -- gsub: templates, counts, functions and tables
    {'gsub', 'hello world', 'o', '0', 1}, {'gsub', 'hello', '', '-', 2}, {'gsub', 'abc', '(%w)', '%1-%0'},
    {'gsub', 'abc', '%w', '%2'}, {'gsub', 'abc', '%w', '%1'}, {'gsub', 'abc', 'b', '%'}, {'gsub', 'abc', 'b', '%%%x'},
    {'gsub', 'abc', '()b', '%1'}, {'gsub', 'abc', 'b', 5}, {'gsub', 'abc', 'b', 'x', 2.7}, {'gsub', 'abc', 'b', true},
    {'gsub', 'abc', 'b', nil, n = 4}, {'gsub', 'abc', 'b', 'x', 'y'}, {'gsub', 'aaa', '^a', 'X'},
    {'gsub', 'abc', '$', '!'}, {'gsub', ('ab'):rep(500), 'b', 'cd'}, {'gsub', '', 'x*', 'y'},
    {'gsub', 'abc', '(b', 'x', repl = 1}, {'gsub', 'abc', '%w', nil, 2, repl = 1},
    {'find', 'hello', 'l+', method = true}, {'gsub', 'hello', 'l', method = true},
}
for repl, pattern in ipairs({'%w+', '%w', '%w', '%w', '(%w)()', '(.)(.)', 'b'}) do
    cases[#cases + 1] = {'gsub', 'abx(', pattern, nil, repl = repl}
end
-- every byte against every class
local all_bytes = {}
for i = 0, 255 do all_bytes[#all_bytes + 1] = string.char(i) end
for _, class in ipairs({'%a', '%c', '%d', '%l', '%p', '%s', '%u', '%w', '%x', '%z', '%A', '%C', '%P', '%S', '%W',
                        '%Z', '[%w_]', '[^%p%s]', '[\128-\255]', '%f[%w]'}) do
    cases[#cases + 1] = {'gsub', table.concat(all_bytes), class, '|'}
end
)";

std::vector<std::string> results(lua_State* L) {
    std::vector<std::string> lines;
    lua_getglobal(L, "results");
    if (!lua_istable(L, -1))
        return lines; // the driver failed; the caller reports it
    for (int i = 1; lua_rawgeti(L, -1, i), lua_type(L, -1) == LUA_TSTRING; ++i, lua_pop(L, 1))
        lines.emplace_back(lua_tostring(L, -1), lua_objlen(L, -1));
    lua_pop(L, 2);
    return lines;
}

// Runs the driver on the cases that `cases_code` makes, in the game's engine
// (our functions) and in a plain state (Lua's own); fails on the lines that
// differ and returns Lua's.
std::vector<std::string> compare(const std::string& cases_code) {
    const std::string code = DRIVER + cases_code + "\nrun_cases()";
    ScriptLimits roomy;
    roomy.time = std::chrono::seconds(60);
    roomy.instructions = 1LL << 40;
    roomy.allocation = std::size_t{8} << 20;
    ScriptingEngine engine(roomy);
    engine.run_code(code.c_str(), "EVERY TIME");
    EXPECT_FALSE(engine.error()) << *engine.error();
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    int status = luaL_loadbuffer(L, code.data(), code.size(), "EVERY TIME");
    EXPECT_EQ(status ? status : lua_pcall(L, 0, 0, 0), 0) << lua_tostring(L, -1);
    std::vector<std::string> ours = results(engine.state()), lua = results(L);
    lua_close(L);
    EXPECT_EQ(ours.size(), lua.size());
    int differing = 0;
    for (std::size_t i = 0; i < lua.size() && i < ours.size(); ++i)
        if (ours[i] != lua[i] && ++differing <= 20)
            ADD_FAILURE() << "case " << i + 1 << "\n  Lua 5.1: " << lua[i] << "\n  ours:    " << ours[i];
    EXPECT_EQ(differing, 0);
    return lua;
}

TEST(LuaPatterns, TrickyCasesGiveWhatLua51Gives) {
    std::string all;
    for (const std::string& line : compare(TRICKY_CASES))
        all += line + "\n";
    // The table reaches every error message.
    for (const char* message :
         {"malformed pattern (ends with '%')", "malformed pattern (missing ']')", "invalid capture index",
          "invalid pattern capture", "unfinished capture", "missing '[' after '%f' in pattern", "too many captures",
          "unbalanced pattern", "invalid replacement value (a table)", "invalid replacement value (a boolean)",
          "string/function/table expected"})
        EXPECT_NE(all.find(message), std::string::npos) << message;
}

// Random cases: patterns built from pieces that exercise every feature, with
// now and then a malformed piece; subjects from the characters those pieces
// look for. A seeded generator of its own (no pattern functions used) makes
// the same cases in both states.
const char RANDOM_CASES[] = R"(
local seed = 20240611
local function below(n) seed = seed * 16807 % 2147483647 return seed % n end
local function pick(list) return list[below(#list) + 1] end
local function one_of(text) local k = below(#text) + 1 return text:sub(k, k) end
local ATOMS = {'a', 'a', 'a', 'b', 'b', 'x', '.', '.', '.', '%a', '%a', '%d', '%s', '%w', '%p', '%l', '%u', '%x', '%c',
    '%z', '%A', '%D', '%S', '%W', '%Z', '%.', '%%', '%(', '%]', '%-', '[ab]', '[ab]', '[^a]', '[^a]', '[a-c]', '[%a%d]',
    '[]a]', '[^]]', '[a-]', '[%]]', '[(]', '[%z]', ' ', '1', '-', '*', '%$', 'A'}
local SPECIAL_ITEMS = {'()', '%1', '%2', '%0', '%b()', '%bab', '%f[%a]', '%f[^a]', '%f[%z]'}
local MALFORMED = {'%', '[', '[a', '%f', '%fa', '%b', '%ba', ')', '(', '[%'}
local TEMPLATES = {'<%0>', '%1', '[%2]', '%%', 'x%', '%a', '', '%1%0', '-'}
local CHARACTERS, MAGIC = 'aaaaaabbbbxx()[]1 .%-^$A', {}
for k = 1, 11 do MAGIC[('%*+-?^$[]()'):sub(k, k)] = true end

local function items(nesting)
    local p = ''
    for _ = 1, 1 + below(4) do
        local kind = below(100)
        if kind < 70 then
            p = p .. pick(ATOMS)
            if below(5) < 2 then p = p .. one_of('*+-?') end
        elseif kind < 80 and nesting < 2 then p = p .. '(' .. items(nesting + 1) .. ')'
        elseif kind < 95 then p = p .. pick(SPECIAL_ITEMS)
        elseif kind < 98 then p = p .. pick(MALFORMED)
        else p = p .. '\0' end
    end
    return p
end

local function subject(pattern)
    local s = ''
    if below(2) == 0 then
        for _ = 1, below(21) do s = s .. (below(20) == 0 and '\0' or one_of(CHARACTERS)) end
        return s
    end
    -- The pattern's own characters with some of its magic left out and
    -- random characters in between: a subject that often nearly matches.
    for k = 1, #pattern do
        if below(4) == 0 then s = s .. one_of(CHARACTERS) end
        local c = pattern:sub(k, k)
        if not MAGIC[c] or below(3) == 0 then s = s .. c end
    end
    return s
end

cases = {}
for i = 1, 4000 do
    local name = pick({'find', 'match', 'gmatch', 'gsub'})
    local p = below(6) == 0 and '^' or ''
    p = p .. items(0)
    if below(6) == 0 then p = p .. '$' end
    local c = {name, subject(p), p, method = below(5) == 0}
    if name == 'find' or name == 'match' then
        if below(2) == 0 then c[4] = below(33) - 16 end
        if name == 'find' and below(5) == 0 then c[5] = true end
    elseif name == 'gsub' then
        local kind = below(10)
        if kind < 4 then c[4] = pick(TEMPLATES) elseif kind == 4 then c[4] = below(100) else c.repl = 1 + below(7) end
        if below(3) == 0 then c[5] = below(5) - 1 end
    end
    c.n = c[5] ~= nil and 5 or (c[4] ~= nil or c.repl) and 4 or 3
    cases[i] = c
end
)";

TEST(LuaPatterns, RandomPatternsGiveWhatLua51Gives) {
    std::vector<std::string> lines = compare(RANDOM_CASES);
    const int total = 4000;
    ASSERT_EQ(lines.size(), std::size_t{total});
    // The generator must exercise both matching and the error paths.
    int matched = 0, failed = 0;
    for (const std::string& line : lines) {
        std::string outcome = line.substr(line.find(" => ") + 4);
        bool raised = outcome.compare(0, 5, "false") == 0;
        bool nothing =
            outcome == "true nil" || outcome == "true \"\"" || outcome.compare(outcome.size() - 2, 2, " 0") == 0;
        failed += raised;
        matched += !raised && !nothing;
    }
    EXPECT_GT(matched, total / 5);
    EXPECT_GT(failed, total / 50);
    EXPECT_LT(failed, total / 3);
}

} // namespace
