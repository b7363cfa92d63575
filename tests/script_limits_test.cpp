// A player's program cannot hang the game or eat its memory: runaway chunks
// stop with a message, whatever they do to catch the stop.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <string>

#include "level/level.h"
#include "scripted_device.h"
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

TEST(ScriptLimits, RunawayLoopsStopWithinASecondOrSo) {
    const char* runaways[] = {
        "while true do end",
        "while true do pcall(function() while true do end end) end",
        "while true do pcall(pcall, pcall, function() while true do end end) end",
        "while true do coroutine.resume(coroutine.create(function() while true do end end)) end",
        "while true do xpcall(function() while true do end end, function() while true do end end) end",
        "local function f() return f() end while true do pcall(f) end",
    };
    ScriptingEngine script;
    for (const char* code : runaways) {
        double seconds = seconds_to_run(script, code);
        std::cout << "[ measured ] " << seconds * 1000 << " ms: " << code << "\n";
        EXPECT_TRUE(says_too_long(script.error)) << code << ": " << script.error.value_or("(none)");
        EXPECT_LT(seconds, 2.5) << code;
        EXPECT_EQ(lua_gettop(script.lua), 0);
    }
}

TEST(ScriptLimits, InstructionBudgetMessageNamesWhereAndHowMany) {
    ScriptLimits limits;
    limits.instructions = 1000000;
    ScriptingEngine script(limits);
    script.run_code("\nwhile true do end", "EVERY TIME");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:2: program ran too long (more than 1000000 instructions); stopped");
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
