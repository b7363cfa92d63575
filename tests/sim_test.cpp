// gearloft-sim end to end: the built executable run on small levels and saves
// in a scratch game folder, which has no pictures at all.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support.h"

namespace {
// tests/data/sim: in sim.lvl a spawner drops a red block on (3, 5) every 4
// steps; solution.sav's pusher at (2, 5), on in odd frames and off in even
// ones, shoves it onto a three-cell belt that drops it into a catcher's area
// at (7..9, 4..6). Worked by hand: block n drops in step 4n, is shoved in
// 4n+1, carried in 4n+2..4n+4 and taken in 4n+5, so the fifth is taken in
// step 25 and frame 26's win test stops. The other saves break in one way
// each.
struct SimResult {
    int status;
    std::string out, err;
};

class SimTest : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy(GEARLOFT_TEST_DATA_DIR "/sim", dir_.path(), std::filesystem::copy_options::recursive);
    }
    SimResult run_sim(const std::string& args) {
        std::string command = "cd '" + dir_.path() + "' && '" + GEARLOFT_SIM_PATH + "' " + args + " >sim.out 2>sim.err";
        int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir_.read("sim.out"), dir_.read("sim.err")};
    }
    ScratchDir dir_;
};

} // namespace

TEST_F(SimTest, DumpPrintsTheGridsBeforeTheSummary) {
    SimResult result = run_sim("--dump saves/solution.sav --frames 6");
    EXPECT_EQ(result.status, 0);
    // After step 6 block 1 stands on (5, 5): row 5 of the blocks, column 5.
    ASSERT_EQ(result.out.rfind("blocks[][]\n", 0), 0u) << result.out;
    EXPECT_EQ(result.out.substr(11 + 5 * 82 + 5 * 3, 3), "52 ");
    EXPECT_NE(result.out.find("\n\ngroups[][]\n"), std::string::npos);
    EXPECT_EQ(result.out.substr(result.out.rfind("\nticks=")), "\nticks=6 won=0 remaining=5\n");
}

TEST_F(SimTest, ExitStatusAndOutputForEachCommandLine) {
    const char* const not_started = "ticks=0 won=0 remaining=5\n";
    const struct {
        const char* args;
        int status;
        std::string out;
        std::string err; // a part of standard error
    } cases[] = {
        {"saves/solution.sav", 0, "ticks=25 won=1 remaining=0\n", ""},
        {"saves/solution.sav --frames 10", 0, "ticks=10 won=0 remaining=4\n", ""}, // the first block is taken in step 9
        {"--frames 40 saves/solution.sav", 0, "ticks=40 won=1 remaining=0\n", ""},
        {"saves/solution.sav --max-frames 24", 3, "ticks=24 won=0 remaining=1\n", ""},
        {"saves/solution.sav --max-frames 25", 0, "ticks=25 won=1 remaining=0\n", ""},
        // One pusher, 13 tokens of code; the steps of the first win.
        {"saves/solution.sav --metrics", 0, "steps=25 parts=1 code=13\nticks=25 won=1 remaining=0\n", ""},
        {"--metrics saves/solution.sav --frames 40", 0, "steps=25 parts=1 code=13\nticks=40 won=1 remaining=0\n", ""},
        {"saves/solution.sav --metrics --max-frames 24", 3, "ticks=24 won=0 remaining=1\n", ""},
        {"saves/nobody.sav --metrics", 2,
         "error: device not found: pusher_7\nhint: No pusher_7: there is no pusher on the floor.\n" +
             std::string(not_started),
         ""},
        // Line 3 of the program: the pusher's table, then the two rows.
        {"saves/broken.sav", 2,
         "error: [string \"EVERY TIME\"]:3: attempt to index global 'missing_table' (a nil value)\n"
         "hint: Line 2 of your every-cycle code.\n" +
             std::string(not_started),
         ""},
        {"saves/nobody.sav", 2,
         "error: device not found: pusher_7\nhint: No pusher_7: there is no pusher on the floor.\n" +
             std::string(not_started),
         ""},
        {"saves/first.sav", 2,
         "error: [string \"FIRST TIME\"]:1: unexpected symbol near 'then'\n"
         "hint: Line 1 of your initialization code.\n" +
             std::string(not_started),
         ""},
        // The whole row is compiled: its zero byte does not end the program.
        {"saves/zero-byte.sav", 2,
         "error: [string \"EVERY TIME\"]:2: the row goes on after its zero byte\n"
         "hint: Line 1 of your every-cycle code.\n" +
             std::string(not_started),
         ""},
        {"", 64, "", "usage: gearloft-sim"},
        {"--frames 3", 64, "", "usage: gearloft-sim"},
        {"saves/solution.sav --frames", 64, "", "usage: gearloft-sim"},
        {"saves/solution.sav --max-frames 1x", 64, "", "usage: gearloft-sim"},
        {"saves/solution.sav saves/solution.sav", 64, "", "usage: gearloft-sim"},
        {"saves/none.sav", 66, "", "gearloft-sim: Cannot open save file: saves/none.sav\n"},
        {"saves/orphan.sav", 66, "", "gearloft-sim: Cannot open level file: levels/gone.lvl\n"},
        {"saves/corrupt.sav", 1, "", "Error!: Error loading saved game: Invalid device type!\n"},
        {"saves/huge.sav", 1, "", "out of range"},
        {"--level sim.lvl", 64, "", "usage: gearloft-sim"},
        {"--level gone.lvl --describe", 66, "", "gearloft-sim: Cannot open level file: levels/gone.lvl\n"},
        {"--level ../levels/sim.lvl --describe", 66, "",
         "gearloft-sim: Level file must be a plain file inside levels/, not \"../levels/sim.lvl\"\n"},
    };
    for (const auto& c : cases) {
        SimResult result = run_sim(c.args);
        EXPECT_EQ(result.status, c.status) << c.args << ": " << result.err;
        EXPECT_EQ(result.out, c.out) << c.args;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << c.args << ": " << result.err;
    }
}
