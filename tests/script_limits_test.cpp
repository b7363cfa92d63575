// A player's program cannot hang the game or eat its memory: runaway chunks
// stop with a message, whatever they do to catch the stop, and the engine
// goes on working.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "scripting/scripting_engine.h"
#include "support.h"

namespace {

// Runs each chunk and expects it stopped by the instruction budget alone;
// then the engine still runs a chunk and queues its action.
void expect_each_stops(ScriptingEngine& script, const std::vector<const char*>& chunks) {
    for (const char* code : chunks) {
        script.run_code(code, "EVERY TIME");
        const std::string error = script.error().value_or("(none)");
        EXPECT_NE(error.find("program ran too long (more than 40000000 instructions); stopped"), std::string::npos)
            << code << ": " << error;
        EXPECT_EQ(lua_gettop(script.state()), 0);
    }
    script.run_code("action('d', ('speed = 42'):match('(%a+) = %d+'), 1)", "EVERY TIME");
    EXPECT_FALSE(script.error()) << *script.error();
    EXPECT_EQ(queued_verbs(script), (std::vector<std::string>{"speed"}));
}

ScriptLimits limits_with(long long instructions, int milliseconds) {
    ScriptLimits limits;
    limits.instructions = instructions;
    limits.time = std::chrono::milliseconds(milliseconds);
    return limits;
}

TEST(ScriptLimits, BudgetsPerChunkStopWithWhereAndWhichLimit) {
    ScriptingEngine script(limits_with(1000000, 1000));
    const std::string stopped =
        "[string \"EVERY TIME\"]:2: program ran too long (more than 1000000 instructions); stopped";
    script.run_code("\nwhile true do end", "EVERY TIME");
    EXPECT_EQ(script.error(), stopped);
    // Pattern steps count as instructions, and pcall cannot swallow the stop.
    script.run_code("local s = ('a'):rep(3000)\nlocal ok = pcall(s.find, s, '.-.-.-b') action('d', 'swallowed', 1)",
                    "EVERY TIME");
    EXPECT_EQ(script.error(), stopped);
    EXPECT_TRUE(script.queued_actions().empty());
    // The budget restarts with every chunk.
    for (int i = 0; i < 3; ++i) {
        script.run_code("for i = 1, 600000 do end", "EVERY TIME");
        EXPECT_FALSE(script.error()) << "chunk " << i;
    }
    // Slow library calls with few instructions meet the clock instead.
    ScriptingEngine slow(limits_with(1000000000000000, 100));
    for (const char* code : {"local s = string.rep('x', 2^16)\nwhile true do s:find('y', 1, true) end",
                             "\nstring.find(('a'):rep(3000), '.-.-.-b')"}) {
        slow.run_code(code, "EVERY TIME");
        EXPECT_EQ(slow.error(), "[string \"EVERY TIME\"]:2: program ran too long (more than 100 ms); stopped") << code;
    }
}

// A text run before is not compiled again, yet it runs as if it were: its
// compiling is charged again, it stays under its own chunk name, and more
// texts than are kept still each run their own code.
TEST(ScriptLimits, RepeatedTextsCostAndRunAsIfCompiledAgain) {
    ScriptingEngine script(limits_with(400000, 5000));
    // Compiling the comment costs about 160000 instructions, 20000 turns of
    // the loop; every run must stop at the same turn, give or take the
    // collector's work.
    const std::string counting = "-- " + std::string(40000, 'x') +
                                 "\nlocal i = 0 while true do i = i + 1 if i % 100 == 0 then action('d', 'at', i) end end";
    std::vector<int> reached;
    for (int run = 0; run < 3; ++run) {
        script.clear_actions();
        script.run_code(counting.c_str(), "EVERY TIME");
        EXPECT_NE(script.error().value_or("").find("instructions); stopped"), std::string::npos) << *script.error();
        reached.push_back(queued_args(script).empty() ? 0 : queued_args(script).back());
    }
    EXPECT_GT(reached[0], 10000);
    EXPECT_NEAR(reached[1], reached[0], 1000);
    EXPECT_NEAR(reached[2], reached[0], 1000);
    for (const char* name : {"FIRST TIME", "EVERY TIME"}) {
        script.run_code("error('x')", name);
        EXPECT_EQ(script.error(), "[string \"" + std::string(name) + "\"]:1: x");
    }
    script.clear_actions();
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 2 * ChunkCache::KEPT_CHUNKS; ++i)
            script.run_code(("k = (k or 0) + " + std::to_string(i)).c_str(), "EVERY TIME");
    script.run_code("action('d', 'k', k)", "EVERY TIME");
    EXPECT_EQ(queued_args(script), (std::vector<int>{2 * (2 * ChunkCache::KEPT_CHUNKS - 1) * ChunkCache::KEPT_CHUNKS}));
}

// Memory counts for the whole run and for every single text or table part;
// a refused allocation is Lua's memory error, never charged as work.
TEST(ScriptLimits, UnboundedMemoryStopsWithNotEnoughMemory) {
    // Making 64 MiB costs most of a chunk's instructions and takes most of a
    // second on a busy machine; roomier limits keep the memory cap the first
    // limit met.
    ScriptLimits limits;
    limits.time = std::chrono::milliseconds(20000);
    limits.instructions = 1LL << 40;
    ScriptingEngine script(limits);
    for (const char* code : {"local t = {} while true do t[#t + 1] = ('m'):rep(2^15) .. #t end",
                             "local s = 'x' while true do s = s .. s end", "string.rep('x', 2^28)",
                             "local t = {} for i = 1, 2^15 do t[i] = i end"}) {
        script.run_code(code, "EVERY TIME");
        EXPECT_EQ(script.error(), "not enough memory") << code;
        EXPECT_LT(script.instructions_spent(), limits.instructions) << code;
    }
    // The longest text and table that fit, in memory failed chunks gave back.
    script.run_code("local s = ('x'):rep(2^16) assert(#s == 2^16 and not pcall(function() return s .. 'x' end))\n"
                    "t = {} for i = 1, 4096 do t[i] = {i} end action('d', 'ok', #t)",
                    "EVERY TIME");
    EXPECT_FALSE(script.error()) << "the memory of a failed chunk is given back";
    EXPECT_EQ(queued_args(script), (std::vector<int>{4096}));
}

// Lua's pattern functions backtrack inside one library call, where no hook
// fires: the game's own count their steps instead.
TEST(PatternLimits, RunawaySearchesStopByTheirCount) {
    ScriptLimits counted_only;
    counted_only.backstop = ScriptLimits::Backstop::off;
    ScriptingEngine script(counted_only);
    expect_each_stops(script,
                      {"string.match(('a'):rep(40) .. 'b', '.-.-.-.-.-.-.-.-.-.-x')",
                       "string.find(('a'):rep(3000), '(.-)(.*)(.-)b')",
                       "string.gsub(('a'):rep(3000), '(.-)(.-)(.-)b', function() return '' end)",
                       "for w in ('a'):rep(3000):gmatch('.-.-.-b') do end",
                       "while true do pcall(string.find, ('a'):rep(3000), '.-.-.-b') end",
                       "coroutine.wrap(function() string.find(('a'):rep(3000), '.-.-.-b') end)()",
                       "string.gsub(('a'):rep(300), 'a', function() return ('a'):rep(3000):find('.-.-.-b') end)",
                       // Quadratic without any quantifier: balances, back
                       // references and plain text.
                       "string.find(('('):rep(60000), '%b()')", "string.find(('a'):rep(20000), '(a*)%1b')",
                       "string.find(('a'):rep(2^16), ('a'):rep(2^14) .. 'b', 1, true)"});
}

TEST(PatternLimits, DeepPatternsRaiseTooComplexInsteadOfOverflowingTheStack) {
    ScriptingEngine script;
    script.run_code("local s = ('a'):rep(1000)\n"
                    "local first, last = s:find(('a?'):rep(199))\n"
                    "assert(first == 1 and last == 199)\n"
                    "local ok, message = pcall(s.find, s, ('a?'):rep(200))\n"
                    "assert(not ok and message == 'pattern too complex', message)\n"
                    "string.find(('a'):rep(2^16), ('a-'):rep(2^14) .. 'b')",
                    "EVERY TIME");
    EXPECT_EQ(script.error(), "[string \"EVERY TIME\"]:6: pattern too complex");
}

} // namespace

// One run of a program may give 10,000 orders, not one more.
TEST(ScriptLimits, TenThousandOrdersInOneRun) {
    ScriptingEngine script;
    script.run_code("for i = 1, 10000 do action('d', 'on', 1) end", "EVERY TIME");
    EXPECT_FALSE(script.error()) << *script.error();
    EXPECT_EQ(queued_verbs(script).size(), 10000u);
    script.run_code("for i = 1, 10001 do action('d', 'on', 1) end", "EVERY TIME");
    EXPECT_NE(script.error().value_or("").find("more than 10000 actions"), std::string::npos);
}
