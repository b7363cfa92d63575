// gearloft-sim end to end: the built executable run on small levels and saves
// in a scratch game folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "file_test_util.h"

namespace {

// A spawner drops a red block on (3, 5) every 4 steps; a pusher at (2, 5)
// shoves it onto a three-cell belt that runs right one cell per step and
// drops it into a catcher's area at (7..9, 4..6). The program switches the
// pusher on in odd frames and off in even ones.
const char* const LEVEL = "Sim test\n1\n3\n"
                          "spawner, 3, 5, R, 4\n"
                          "catcher, 7, 4, 1, 1, R\n"
                          "conveyer, 4, 5, 3, 1, 1\n";
const char* const SOLUTION = "sim.lvl\ne, 2, 5, 0, 1\nCODE\n1\nt = false\n2\nt = not t\npusher_0.on(t)\n";

// Frame k runs the program and then step k. Worked by hand:
// - the pusher is on in odd steps; in step 4n the spawner drops block n
//   (spawners step before devices) and the pusher pulls its rod in;
// - step 4n+1: the pusher shoves block n onto the belt's first cell (4, 5);
// - steps 4n+2, 4n+3, 4n+4: the belt (stepping before the pusher, as it
//   comes first in the device list) carries it to (5, 5), (6, 5), (7, 5);
// - step 4n+5: the catcher, stepping first, takes it.
// The fifth block is taken in step 25, so frame 26's win test stops the run.
constexpr int TICKS_TO_WIN = 25;

struct SimResult {
    int status = -1;
    std::string out;
    std::string err;

    // The last line of standard output.
    std::string summary() const {
        std::string text = out;
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        return text.substr(text.rfind('\n') + 1);
    }
};

SimResult run_sim(const GameDir& dir, const std::string& args) {
    std::string command = std::string("'") + GEARLOFT_SIM_PATH + "' " + args + " >sim.out 2>sim.err";
    int raw = std::system(command.c_str());
    SimResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = dir.read("sim.out");
    result.err = dir.read("sim.err");
    return result;
}

class SimTest : public testing::Test {
protected:
    void SetUp() override {
        dir_.write("levels/sim.lvl", LEVEL);
        dir_.write("saves/solution.sav", SOLUTION);
    }
    GameDir dir_;
};

} // namespace

TEST_F(SimTest, SolutionWinsInTheWorkedOutTicks) {
    SimResult result = run_sim(dir_, "saves/solution.sav");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "ticks=" + std::to_string(TICKS_TO_WIN) + " won=1 remaining=0\n");
}

TEST_F(SimTest, FixedFramesRunWhateverTheWinTestSays) {
    SimResult early = run_sim(dir_, "saves/solution.sav --frames 10");
    EXPECT_EQ(early.status, 0);
    EXPECT_EQ(early.summary(), "ticks=10 won=0 remaining=4") << "the first block is taken in step 9";
    SimResult beyond = run_sim(dir_, "--frames 40 saves/solution.sav");
    EXPECT_EQ(beyond.status, 0);
    EXPECT_EQ(beyond.summary(), "ticks=40 won=1 remaining=0");
}

TEST_F(SimTest, NotWonWithinTheMaximum) {
    SimResult result = run_sim(dir_, "saves/solution.sav --max-frames 24");
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.summary(), "ticks=24 won=0 remaining=1");
    SimResult exact = run_sim(dir_, "saves/solution.sav --max-frames 25");
    EXPECT_EQ(exact.status, 0) << "won by the last frame allowed";
}

TEST_F(SimTest, DumpPrintsTheGridsBeforeTheSummary) {
    SimResult result = run_sim(dir_, "--dump saves/solution.sav --frames 6");
    EXPECT_EQ(result.status, 0);
    ASSERT_EQ(result.out.rfind("blocks[][]\n", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\ngroups[][]\n"), std::string::npos);
    EXPECT_NE(result.out.find("\nsticky[][]\n"), std::string::npos);
    // After step 6 block 1 stands on (5, 5): row 5 of the block grid shows
    // 0x52 in column 5.
    std::size_t row5 = 0;
    for (int line = 0; line < 6; ++line)
        row5 = result.out.find('\n', row5) + 1;
    EXPECT_EQ(result.out.substr(row5 + 5 * 3, 3), "52 ") << result.out.substr(row5, 81);
    EXPECT_EQ(result.summary(), "ticks=6 won=0 remaining=5");
}

TEST_F(SimTest, ProgramErrorsExitWithTwo) {
    dir_.write("saves/broken.sav", "sim.lvl\ne, 2, 5, 0, 1\nCODE\n0\n2\npusher_0.on(true)\nmissing_table.x = 1\n");
    SimResult result = run_sim(dir_, "saves/broken.sav");
    EXPECT_EQ(result.status, 2);
    // Line 3 of the program: the pusher's table, then the two rows.
    EXPECT_EQ(result.out, "error: [string \"EVERY TIME\"]:3: attempt to index global 'missing_table' (a nil value)\n"
                          "ticks=0 won=0 remaining=5\n");

    dir_.write("saves/nobody.sav", "sim.lvl\nCODE\n1\naction('pusher_7', 'on', 0)\n0\n");
    SimResult nobody = run_sim(dir_, "saves/nobody.sav");
    EXPECT_EQ(nobody.status, 2);
    EXPECT_EQ(nobody.out, "error: device not found: pusher_7\nticks=0 won=0 remaining=5\n");

    dir_.write("saves/first.sav", "sim.lvl\nCODE\n1\nif then\n0\n");
    SimResult first = run_sim(dir_, "saves/first.sav");
    EXPECT_EQ(first.status, 2);
    EXPECT_EQ(first.out.rfind("error: [string \"FIRST TIME\"]:1:", 0), 0u) << first.out;
}

TEST_F(SimTest, BadArgumentsExitWith64) {
    for (const char* args : {"", "--frames 3", "saves/solution.sav --frames", "saves/solution.sav --frames -1",
                             "saves/solution.sav --frames 1x", "saves/solution.sav --max-frames",
                             "saves/solution.sav --bogus", "saves/solution.sav saves/solution.sav"}) {
        SimResult result = run_sim(dir_, args);
        EXPECT_EQ(result.status, 64) << args;
        EXPECT_NE(result.err.find("usage: gearloft-sim"), std::string::npos) << args;
        EXPECT_EQ(result.out, "") << args;
    }
}

TEST_F(SimTest, UnreadableFilesExitWith66) {
    SimResult missing = run_sim(dir_, "saves/none.sav");
    EXPECT_EQ(missing.status, 66);
    EXPECT_EQ(missing.err, "gearloft-sim: Cannot open save file: saves/none.sav\n");
    dir_.write("saves/orphan.sav", "gone.lvl\nCODE\n0\n0\n");
    SimResult orphan = run_sim(dir_, "saves/orphan.sav");
    EXPECT_EQ(orphan.status, 66);
    EXPECT_EQ(orphan.err, "gearloft-sim: Cannot open level file: levels/gone.lvl\n");
}

TEST_F(SimTest, InvalidSavesExitWithOne) {
    dir_.write("saves/corrupt.sav", "sim.lvl\nE, 2, 5, 0, 1\nCODE\n0\n0\n");
    SimResult corrupt = run_sim(dir_, "saves/corrupt.sav");
    EXPECT_EQ(corrupt.status, 1);
    EXPECT_EQ(corrupt.err, "Error!: Error loading saved game: Invalid device type!\n");
    EXPECT_EQ(corrupt.out, "");
    dir_.write("levels/huge.lvl", "d\n1\n1\nconveyer, 0, 0, 99999, 1, 1\n");
    dir_.write("saves/huge.sav", "huge.lvl\nCODE\n0\n0\n");
    SimResult huge = run_sim(dir_, "saves/huge.sav");
    EXPECT_EQ(huge.status, 1);
    EXPECT_NE(huge.err.find("out of range"), std::string::npos) << huge.err;
}
