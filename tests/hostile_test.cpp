// Hostile programs, as a shared save could carry them, grouped by what they
// try (tests/data/hostile/CLASS/*.lua). Each runs in the engine with the
// time backstop off, where the instruction budget alone must end it as the
// game does, and in gearloft-sim as the game runs it: both must give its
// expected error or a clean finish, without a signal and with bounded
// output. A file's first line says what it must give: "-- expect: finish",
// or "-- expect: TEXT" with TEXT a part of the error message; a program the
// budget stops names it in full, "program ran too long (more than 40000000
// instructions)".
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run/run.h"
#include "scripting/scripting_engine.h"
#include "support.h"
#include "text/message_text.h"

namespace {

namespace fs = std::filesystem;

// The run's output budget, the notice, the error and the summary line.
const std::size_t MOST_OUTPUT = ScriptLimits().output + 1024;
const std::string EXPECT = "-- expect: ";
const std::string FINISH = "finish";

struct Case {
    std::string name;
    std::string code;
    std::string expected; // empty: a clean finish
};

std::vector<Case> cases_in(const std::string& group) {
    std::vector<Case> cases;
    for (const auto& entry : fs::directory_iterator(fs::path(GEARLOFT_TEST_DATA_DIR) / "hostile" / group)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream code;
        code << in.rdbuf();
        Case c{entry.path().filename().string(), code.str(), ""};
        std::string first = c.code.substr(0, c.code.find('\n'));
        EXPECT_EQ(first.rfind(EXPECT, 0), 0u) << c.name;
        if (first.size() > EXPECT.size() && first.substr(EXPECT.size()) != FINISH)
            c.expected = first.substr(EXPECT.size());
        cases.push_back(c);
    }
    std::sort(cases.begin(), cases.end(), [](const Case& a, const Case& b) { return a.name < b.name; });
    return cases;
}

// Messages that only the dispatch to the devices gives; the engine alone
// finishes such a program.
bool from_dispatch(const std::string& expected) {
    return expected.rfind("device not found", 0) == 0;
}

// Two chunks on one engine whose only limits are counted (the second finds
// it working or stopped again), then the engine's end.
void run_in_engine(const Case& c) {
    ScriptLimits counted_only;
    counted_only.output = 256;
    counted_only.backstop = ScriptLimits::Backstop::off;
    ScriptingEngine script(counted_only);
    script.run_code(c.code.c_str(), "EVERY TIME");
    std::string expected = from_dispatch(c.expected) ? "" : c.expected;
    if (expected.empty())
        EXPECT_FALSE(script.error()) << *script.error();
    else
        EXPECT_NE(script.error().value_or("(none)").find(expected), std::string::npos) << *script.error();
    EXPECT_LE(script.error().value_or("").size(), MESSAGE_MAX) << "a program's message is kept short";
    script.run_code(c.code.c_str(), "EVERY TIME");
    EXPECT_EQ(lua_gettop(script.state()), 0);
}

// What the runner, with the backstop on, must show: which limit stopped a
// program that ran too long is for the counted run above to say, since how
// fast a build runs (the sanitizers') must not decide a test.
std::string shown_by_runner(const std::string& expected) {
    return expected.substr(0, expected.find(" (more than "));
}

// The program as the every-cycle code of a save for a small level of its
// own with one pusher (pusher_0), run for two frames.
void run_in_sim(const Case& c) {
    ScratchDir dir;
    ScratchDir::Inside inside = dir.enter();
    dir.write("levels/hostile.lvl", "Hostile\n1\n3\nspawner, 3, 5, R, 4\ncatcher, 7, 4, 1, 1, R\n");
    std::string code = c.code.back() == '\n' ? c.code : c.code + "\n";
    auto rows = std::count(code.begin(), code.end(), '\n');
    dir.write("saves/hostile.sav", "hostile.lvl\ne, 2, 5, 0, 1\nCODE\n0\n" + std::to_string(rows) + "\n" + code);
    std::string command = std::string("'") + GEARLOFT_SIM_PATH + "' saves/hostile.sav --frames 2 >sim.out 2>sim.err";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << "gearloft-sim ended by signal " << WTERMSIG(raw);
    std::string out = dir.read("sim.out");
    EXPECT_EQ(WEXITSTATUS(raw), c.expected.empty() ? 0 : 2) << out.substr(0, 300);
    EXPECT_EQ(out.find("error: ") != std::string::npos, !c.expected.empty());
    EXPECT_NE(out.find(shown_by_runner(c.expected)), std::string::npos) << out.substr(0, 300);
    EXPECT_LE(out.size() + dir.read("sim.err").size(), MOST_OUTPUT);
}

class Hostile : public testing::TestWithParam<const char*> {};

TEST_P(Hostile, EndsWithItsErrorByCountAloneAndInTheRunner) {
    std::vector<Case> cases = cases_in(GetParam());
    EXPECT_GE(cases.size(), 3u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run_in_engine(c);
        run_in_sim(c);
    }
}

// A zero byte in a name or verb: the queue keeps every byte, names match
// byte for byte, and no device sees a verb cut short at the zero.
TEST(HostileActions, ZeroBytesNeverReachADevice) {
    LoadResult loaded = level_from_text("Zero\n1\n0\n");
    Level& level = *loaded.level;
    auto* pusher = place<StubDevice>(level, "pusher_0");
    ScriptingEngine script;
    script.run_code("action('pusher_0', 'on\\0x', 1) action('pusher_0', 'off', 2)", "EVERY TIME");
    ASSERT_EQ(queued_verbs(script).size(), 2u);
    EXPECT_EQ(queued_verbs(script)[0], std::string("on\0x", 4));
    EXPECT_EQ(parse_actions(level, script), std::nullopt);
    EXPECT_EQ(pusher->received, (std::vector<std::pair<std::string, int>>{{"off", 2}}));
    script.run_code("action('pusher_0\\0x', 'on', 1)", "EVERY TIME");
    EXPECT_EQ(parse_actions(level, script), std::string("pusher_0\0x", 10));
    EXPECT_EQ(pusher->received.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Classes, Hostile,
                         testing::Values("ranges", "slow-calls", "finalizers", "streams", "actions", "messages",
                                         "budget", "stalls", "random"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
