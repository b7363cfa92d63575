// The game's checked library functions (unpack, table.insert, remove, sort,
// concat, string.rep, math.random, collectgarbage, coroutine.resume, wrap)
// give what Lua 5.1's own give for every sane argument: every combination of
// a pool of small values, run in the game's engine and in a plain state.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "scripting/scripting_engine.h"

namespace {

// Leaves one line per call in `results`: the call and pcall's results, with
// the table after the call for the functions that change their table.
const char CASES[] = R"(
local function show(v)
    if type(v) == 'table' then
        local keys = {}
        for k in pairs(v) do keys[#keys + 1] = k end
        table.sort(keys, function(a, b) return tostring(a) < tostring(b) end)
        for i, k in ipairs(keys) do keys[i] = tostring(k) .. '=' .. show(v[k]) end
        return '{' .. table.concat(keys, ' ') .. '}'
    end
    return type(v) == 'string' and string.format('%q', v) or (type(v) == 'function' or type(v) == 'thread') and type(v) or tostring(v)
end
local function pack(...) return {n = select('#', ...), ...} end
local function shown(list)
    local parts = {}
    for i = 1, list.n do parts[i] = show(list[i]) end
    return table.concat(parts, ' ')
end
local VALUES = {n = 14, nil, -2, -1, 0, 1, 2, 3, 5, 1.5, -1.5, '2', 'x', true, {}}
local function tables() return {{}, {1, 2, 3}, {'a', 'b', nil, 'd'}, {3, 1, 2, n = 5}, {'b', 'a', 'c'}} end
local ORDERS = {n = 4, nil, function(a, b) return a > b end, function() return true end, 'x'}
local FUNCTIONS = {
    {'unpack', unpack}, {'table.insert', table.insert}, {'table.remove', table.remove},
    {'table.concat', table.concat}, {'table.sort', table.sort}, {'string.rep', string.rep},
}
results = {}
local function record(name, f, args)
    math.randomseed(7)
    local outcome = pack(pcall(f, unpack(args, 1, args.n)))
    results[#results + 1] = name .. '(' .. shown(args) .. ') => ' .. shown(outcome)
end
for _, named in ipairs(FUNCTIONS) do
    local name, f = named[1], named[2]
    local extra = name == 'table.sort' and ORDERS or VALUES
    for t = 1, 5 do
        for i = 1, VALUES.n + 1 do
            for j = 1, extra.n + 1 do
                local first = name == 'string.rep' and ({'ab', '', 'x\0y', 7, nil})[t] or tables()[t]
                -- index n + 1 leaves the argument out
                local args = {n = j <= extra.n and 3 or i <= VALUES.n and 2 or 1, first, VALUES[i], extra[j]}
                if name == 'table.sort' then args = {n = 2, first, extra[j]} end
                record(name, f, args)
            end
        end
    end
end
for i = 1, VALUES.n + 1 do
    for j = 1, VALUES.n + 1 do
        record('math.random', math.random, {n = j <= VALUES.n and 2 or i <= VALUES.n and 1 or 0, VALUES[i], VALUES[j]})
        record('collectgarbage', collectgarbage, {n = 1, ({'collect', 'stop', 'restart', 'x', 1})[i % 5 + 1]})
    end
end
local function failing() error('down') end
local function yielding(...) local got = pack(coroutine.yield(...)) return 'back', shown(got) end
for _, body in ipairs({failing, yielding, function() error({}) end, function() error() end, function(...) return ... end}) do
    local co = coroutine.create(body)
    record('resume', coroutine.resume, {n = 3, co, 1, 'a'})
    record('resume again', coroutine.resume, {n = 2, co, 2})
    record('resume again', coroutine.resume, {n = 1, co})
    local ok, wrapped = pcall(coroutine.wrap, body)
    record('wrap', ok and wrapped or error, {n = 2, 1, 'a'})
    record('wrap again', ok and wrapped or error, {n = 0})
end
record('resume', coroutine.resume, {n = 1, 'x'})
record('wrap', coroutine.wrap, {n = 1, 'x'})
)";

std::vector<std::string> results(lua_State* L) {
    std::vector<std::string> lines;
    lua_getglobal(L, "results");
    for (int i = 1; lua_istable(L, -1) && (lua_rawgeti(L, -1, i), lua_isstring(L, -1)); ++i, lua_pop(L, 1))
        lines.emplace_back(lua_tostring(L, -1));
    lua_settop(L, 0);
    return lines;
}

TEST(LuaSafeLibrary, SaneArgumentsGiveWhatLua51Gives) {
    ScriptLimits roomy;
    roomy.time = std::chrono::seconds(60);
    roomy.instructions = 1LL << 40;
    roomy.allocation = std::size_t{8} << 20;
    ScriptingEngine engine(roomy);
    engine.run_code(CASES, "EVERY TIME");
    ASSERT_FALSE(engine.error()) << *engine.error();
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    ASSERT_EQ(luaL_loadbuffer(L, CASES, sizeof CASES - 1, "EVERY TIME") || lua_pcall(L, 0, 0, 0), 0)
        << lua_tostring(L, -1);
    std::vector<std::string> ours = results(engine.state()), lua = results(L);
    lua_close(L);
    ASSERT_EQ(ours.size(), lua.size());
    EXPECT_GT(lua.size(), 2000u);
    int differing = 0;
    for (std::size_t i = 0; i < lua.size(); ++i)
        if (ours[i] != lua[i] && ++differing <= 20)
            ADD_FAILURE() << "case " << i + 1 << "\n  Lua 5.1: " << lua[i] << "\n  ours:    " << ours[i];
    EXPECT_EQ(differing, 0);
}

} // namespace
