// A player's program cannot hang the game or eat its memory: runaway chunks
// stop with a message, whatever they do to catch the stop.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>

#include "level/level.h"
#include "scripted_device.h"
#include "scripting/lua_patterns.h"
#include "scripting/program.h"
#include "scripting/scripting_engine.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string TOO_LONG = "program ran too long (more than ";

double seconds_to_run(ScriptingEngine& script, const char* code) {
    auto start = Clock::now();
    script.run_code(code, "EVERY TIME");
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool says_too_long(const std::optional<std::string>& error) {
    return error && error->find(TOO_LONG) != std::string::npos && error->find("); stopped") != std::string::npos;
}

// Runs each chunk and expects it stopped for running too long, in time.
void expect_each_stops(ScriptingEngine& script, const std::vector<const char*>& chunks, double most_seconds) {
    for (const char* code : chunks) {
        double seconds = seconds_to_run(script, code);
        std::cout << "[ measured ] " << seconds * 1000 << " ms: " << code << "\n";
        EXPECT_TRUE(says_too_long(script.error)) << code << ": " << script.error.value_or("(none)");
        EXPECT_LT(seconds, most_seconds) << code;
        EXPECT_EQ(lua_gettop(script.lua), 0);
    }
}

TEST(ScriptLimits, RunawayLoopsStopWithinASecondOrSo) {
    const std::vector<const char*> runaways = {
        "while true do end",
        "while true do pcall(function() while true do end end) end",
        "while true do pcall(pcall, pcall, function() while true do end end) end",
        "while true do coroutine.resume(coroutine.create(function() while true do end end)) end",
        "while true do xpcall(function() while true do end end, function() while true do end end) end",
        "local function f() return f() end while true do pcall(f) end",
    };
    ScriptingEngine script;
    expect_each_stops(script, runaways, 2.5);
}

TEST(ScriptLimits, InstructionBudgetMessageNamesWhereAndHowMany) {
    ScriptLimits limits;
    limits.instructions = 1000000;
    ScriptingEngine script(limits);
    script.run_code("\nwhile true do end", "EVERY TIME");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:2: program ran too long (more than 1000000 instructions); stopped");
    // A search stopped inside the string library names its caller; pcall
    // cannot swallow the stop.
    script.run_code("local s = ('a'):rep(3000)\nreturn s:find('.-.-.-b')", "EVERY TIME");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:2: program ran too long (more than 1000000 instructions); stopped");
    script.run_code("local s = ('a'):rep(3000)\nlocal ok = pcall(s.find, s, '.-.-.-b')\naction('d', 'swallowed', 1)",
                    "EVERY TIME");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:3: program ran too long (more than 1000000 instructions); stopped");
    EXPECT_TRUE(script.action_verbs.empty());
}

TEST(ScriptLimits, BudgetRestartsWithEveryChunkAndTheEngineGoesOn) {
    ScriptLimits limits;
    limits.instructions = 3000000;
    ScriptingEngine script(limits);
    // About two million instructions: fits once per chunk, never twice.
    const char* two_million = "for i = 1, 2000000 do end";
    for (int i = 0; i < 4; ++i) {
        script.run_code(two_million, "EVERY TIME");
        EXPECT_FALSE(script.error) << "chunk " << i;
    }
    script.run_code("for i = 1, 2000000 do end for i = 1, 2000000 do end", "EVERY TIME");
    EXPECT_TRUE(says_too_long(script.error));
    // A coroutine that was running when the chunk stopped works normally
    // again in the next chunk.
    script.run_code("co = coroutine.create(function() while true do coroutine.yield() end end)\n"
                    "coroutine.resume(co) while true do end",
                    "EVERY TIME");
    EXPECT_TRUE(says_too_long(script.error));
    script.run_code("for i = 1, 100 do assert(coroutine.resume(co)) end action('d', 'ok', 1)", "EVERY TIME");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(script.action_verbs, (std::vector<std::string>{"ok"}));
}

TEST(ScriptLimits, SlowLibraryCallsStopAtTheTimeLimit) {
    ScriptLimits limits;
    limits.time = std::chrono::milliseconds(100);
    ScriptingEngine script(limits);
    // Few instructions, each a long scan: only the clock can stop this.
    double seconds = seconds_to_run(script, "local s = string.rep('x', 2^23)\n"
                                            "while true do s:find('y', 1, true) end");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:2: program ran too long (more than 100 ms); stopped");
    EXPECT_LT(seconds, 1.0);
}

TEST(ScriptLimits, UnboundedMemoryStopsWithNotEnoughMemory) {
    // Filling 64 MiB takes most of a second on a busy machine; a roomier
    // time limit keeps the memory cap the first limit met.
    ScriptLimits limits;
    limits.time = std::chrono::milliseconds(20000);
    ScriptingEngine script(limits);
    script.run_code("local t = {} while true do t[#t + 1] = {} end", "EVERY TIME");
    EXPECT_EQ(script.error, "not enough memory");
    script.run_code("local s = 'x' while true do s = s .. s end", "EVERY TIME");
    EXPECT_EQ(script.error, "not enough memory");
    script.run_code("t = {} for i = 1, 100000 do t[i] = {i} end action('d', 'ok', #t)", "EVERY TIME");
    EXPECT_FALSE(script.error) << "the memory of a failed chunk is given back";
    EXPECT_EQ(script.action_args, (std::vector<int>{100000}));
}

TEST(ScriptLimits, SmallMemoryLimitHolds) {
    ScriptLimits limits;
    limits.memory = 1 << 20;
    ScriptingEngine script(limits);
    script.run_code("local s = string.rep('x', 2^21)", "EVERY TIME");
    EXPECT_EQ(script.error, "not enough memory");
    script.run_code("local s = string.rep('x', 2^16)", "EVERY TIME");
    EXPECT_FALSE(script.error);
}

// Lua's pattern functions backtrack inside one library call, where no hook
// fires: the game's own count their steps instead.
TEST(PatternLimits, RunawaySearchesStopWithinASecondOrSo) {
    const std::vector<const char*> runaways = {
        "string.find(('a'):rep(3000), '.-.-.-b')",
        "string.match(('a'):rep(40) .. 'b', '.-.-.-.-.-.-.-.-.-.-x')",
        "string.find(('a'):rep(3000), '(.-)(.*)(.-)b')",
        "string.gsub(('a'):rep(3000), '.-.-.-b', 'x')",
        "string.gsub(('a'):rep(3000), '(.-)(.-)(.-)b', function() return '' end)",
        "for w in ('a'):rep(3000):gmatch('.-.-.-b') do end",
        "while true do pcall(string.find, ('a'):rep(3000), '.-.-.-b') end",
        "while true do pcall(function() return ('a'):rep(3000):find('.*.*.*b') end) end",
        "coroutine.wrap(function() string.find(('a'):rep(3000), '.-.-.-b') end)()",
        "xpcall(function() return ('a'):rep(3000):find('.-.-.-b') end,\n"
        "       function() return ('a'):rep(3000):find('.-.-.-b') end)",
        "string.gsub(('a'):rep(300), 'a', function() return ('a'):rep(3000):find('.-.-.-b') end)",
        // Quadratic without any quantifier: balances, back references and
        // plain text.
        "string.find(('('):rep(200000), '%b()')",
        "string.find(('a'):rep(20000), '(a*)%1b')",
        "string.find(('a'):rep(1000000), ('a'):rep(100000) .. 'b', 1, true)",
    };
    // A shorter time than the game's keeps the test quick; the game's own
    // limits stop the first case below.
    ScriptLimits limits;
    limits.time = std::chrono::milliseconds(300);
    ScriptingEngine script(limits);
    expect_each_stops(script, runaways, 1.0);
    script.run_code("action('d', ('speed = 42'):match('(%a+) = %d+'), (('a-b'):find('-', 1, true)))", "EVERY TIME");
    EXPECT_FALSE(script.error) << *script.error;
    EXPECT_EQ(script.action_verbs, (std::vector<std::string>{"speed"}));
    EXPECT_EQ(script.action_args, (std::vector<int>{2}));
}

TEST(PatternLimits, TheGamesLimitsStopARunawaySearchInAboutASecond) {
    ScriptingEngine script;
    expect_each_stops(script, {"string.find(('a'):rep(3000), '.-.-.-b')"}, 2.5);
}

TEST(PatternLimits, PatternStepsCountAgainstTheInstructionBudget) {
    ScriptLimits limits;
    limits.instructions = 1000000;
    ScriptingEngine script(limits);
    // A few hundred instructions, but each search tries the last item some
    // 40^3 / 6 times.
    const char* many_searches = "local s = ('a'):rep(40) for i = 1, 100 do s:find('.-.-b') end";
    script.run_code(many_searches, "EVERY TIME");
    EXPECT_TRUE(says_too_long(script.error)) << script.error.value_or("(none)");
    limits.instructions = 10000000;
    ScriptingEngine roomier(limits);
    roomier.run_code(many_searches, "EVERY TIME");
    EXPECT_FALSE(roomier.error) << *roomier.error;
}

TEST(PatternLimits, SlowSearchStopsAtTheTimeLimit) {
    ScriptLimits limits;
    limits.instructions = 1000000000000000;
    limits.time = std::chrono::milliseconds(100);
    ScriptingEngine script(limits);
    double seconds = seconds_to_run(script, "\nstring.find(('a'):rep(3000), '.-.-.-b')");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:2: program ran too long (more than 100 ms); stopped");
    EXPECT_LT(seconds, 1.0);
}

TEST(PatternLimits, DeepPatternsRaiseTooComplexInsteadOfOverflowingTheStack) {
    ScriptingEngine script;
    std::string deepest = std::to_string(MAX_PATTERN_DEPTH - 1);
    std::string too_deep = std::to_string(MAX_PATTERN_DEPTH);
    script.run_code(("local s = ('a'):rep(1000)\n"
                     "local first, last = s:find(('a?'):rep(" + deepest + "))\n"
                     "assert(first == 1 and last == " + deepest + ")\n"
                     "local ok, message = pcall(s.find, s, ('a?'):rep(" + too_deep + "))\n"
                     "assert(not ok and message == 'pattern too complex', message)\n"
                     "s:gsub(('a?'):rep(100000), '')")
                        .c_str(),
                    "EVERY TIME");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:6: pattern too complex");
    script.run_code("string.find(('a'):rep(1000000), ('a-'):rep(1000000) .. 'b')", "EVERY TIME");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:1: pattern too complex");
}

// Not a correctness check but the price of the game's per-frame routine:
// sixty device tables compiled and run, a few actions, a dispatch.
TEST(ScriptCost, SixtyTablesPerFrame) {
    Level level;
    for (int i = 0; i < 60; ++i)
        add_scripted_device(level, "pusher_" + std::to_string(i));
    ScriptingEngine script;
    const std::string code = "for i = 0, 9 do _G['pusher_' .. i].on(i % 2 == 0) end";
    const int frames = 300;
    auto start = Clock::now();
    for (int f = 0; f < frames; ++f) {
        script.run_code(assemble_program(&level, code).c_str(), "EVERY TIME");
        level.parse_actions(&script);
        ASSERT_FALSE(script.error);
    }
    double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count() / frames;
    std::cout << "[ measured ] " << micros << " us per frame for 60 device tables ("
              << assemble_program(&level, code).size() << " bytes of program)\n";
    EXPECT_LT(micros, 15000.0) << "a frame lasts about 22 ms";
}

} // namespace
