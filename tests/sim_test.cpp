// gearloft-sim end to end: the built executable run on small levels and saves
// in a scratch game folder, which has no pictures at all.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "support.h"

namespace {

// A spawner drops a red block on (3, 5) every 4 steps; a pusher at (2, 5),
// on in odd frames and off in even ones, shoves it onto a three-cell belt
// that drops it into a catcher's area at (7..9, 4..6). Worked by hand: block
// n drops in step 4n, is shoved in 4n+1, carried in 4n+2..4n+4 and taken in
// 4n+5, so the fifth is taken in step 25 and frame 26's win test stops.
const char* const LEVEL = "Sim test\n1\n3\n"
                          "spawner, 3, 5, R, 4\n"
                          "catcher, 7, 4, 1, 1, R\n"
                          "conveyer, 4, 5, 3, 1, 1\n";
const char* const SOLUTION = "sim.lvl\ne, 2, 5, 0, 1\nCODE\n1\nt = false\n2\nt = not t\npusher_0.on(t)\n";

struct SimResult {
    int status = -1;
    std::string out;
    std::string err;
};

class SimTest : public testing::Test {
protected:
    void SetUp() override {
        dir_.write("levels/sim.lvl", LEVEL);
        dir_.write("saves/solution.sav", SOLUTION);
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
    ASSERT_EQ(result.out.rfind("blocks[][]\n", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\ngroups[][]\n"), std::string::npos);
    EXPECT_NE(result.out.find("\nsticky[][]\n"), std::string::npos);
    // After step 6 block 1 stands on (5, 5): row 5 of the block grid shows
    // 0x52 in column 5.
    std::size_t row5 = 0;
    for (int line = 0; line < 6; ++line)
        row5 = result.out.find('\n', row5) + 1;
    EXPECT_EQ(result.out.substr(row5 + 5 * 3, 3), "52 ") << result.out.substr(row5, 81);
    EXPECT_EQ(result.out.substr(result.out.rfind("\nticks=")), "\nticks=6 won=0 remaining=5\n");
}

TEST_F(SimTest, ExitStatusAndOutputForEachCommandLine) {
    dir_.write("saves/broken.sav", "sim.lvl\ne, 2, 5, 0, 1\nCODE\n0\n2\npusher_0.on(true)\nmissing_table.x = 1\n");
    dir_.write("saves/nobody.sav", "sim.lvl\nCODE\n1\naction('pusher_7', 'on', 0)\n0\n");
    dir_.write("saves/first.sav", "sim.lvl\nCODE\n1\nif then\n0\n");
    dir_.write("saves/orphan.sav", "gone.lvl\nCODE\n0\n0\n");
    dir_.write("saves/corrupt.sav", "sim.lvl\nE, 2, 5, 0, 1\nCODE\n0\n0\n");
    dir_.write("levels/huge.lvl", "d\n1\n1\nconveyer, 0, 0, 99999, 1, 1\n");
    dir_.write("saves/huge.sav", "huge.lvl\nCODE\n0\n0\n");
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
        // Line 3 of the program: the pusher's table, then the two rows.
        {"saves/broken.sav", 2,
         "error: [string \"EVERY TIME\"]:3: attempt to index global 'missing_table' (a nil value)\n" +
             std::string(not_started),
         ""},
        {"saves/nobody.sav", 2, "error: device not found: pusher_7\n" + std::string(not_started), ""},
        {"saves/first.sav", 2,
         "error: [string \"FIRST TIME\"]:1: unexpected symbol near 'then'\n" + std::string(not_started), ""},
        {"", 64, "", "usage: gearloft-sim"},
        {"--frames 3", 64, "", "usage: gearloft-sim"},
        {"saves/solution.sav --frames", 64, "", "usage: gearloft-sim"},
        {"saves/solution.sav --max-frames 1x", 64, "", "usage: gearloft-sim"},
        {"saves/solution.sav --bogus", 64, "", "usage: gearloft-sim"},
        {"saves/solution.sav saves/solution.sav", 64, "", "usage: gearloft-sim"},
        {"saves/none.sav", 66, "", "gearloft-sim: Cannot open save file: saves/none.sav\n"},
        {"saves/orphan.sav", 66, "", "gearloft-sim: Cannot open level file: levels/gone.lvl\n"},
        {"saves/corrupt.sav", 1, "", "Error!: Error loading saved game: Invalid device type!\n"},
        {"saves/huge.sav", 1, "", "out of range"},
        {"--level sim.lvl", 64, "", "usage: gearloft-sim"},
        {"--list saves/solution.sav", 64, "", "usage: gearloft-sim"},
        {"--level gone.lvl --describe", 66, "", "gearloft-sim: Cannot open level file: levels/gone.lvl\n"},
    };
    for (const auto& c : cases) {
        SimResult result = run_sim(c.args);
        EXPECT_EQ(result.status, c.status) << c.args << ": " << result.err;
        EXPECT_EQ(result.out, c.out) << c.args;
        EXPECT_NE(result.err.find(c.err), std::string::npos) << c.args << ": " << result.err;
    }
}

TEST_F(SimTest, DescribesSavesAndLevelsAndListsTheLevels) {
    dir_.write("levels/later.lvl", "Later, harder\n2\n1\nconverter, 20, 16, R, G\n");
    dir_.write("levels/unlisted.lvl", "Never shown\n0\n0\n");
    SimResult save = run_sim("saves/solution.sav --describe");
    EXPECT_EQ(save.status, 0);
    EXPECT_EQ(save.out, "level sim.lvl\n"
                        "part b x=4 y=5 length=3 direction=1 period=1 fixed\n"
                        "part e x=2 y=5 number=0 direction=1 name=pusher_0\n"
                        "init 1\nt = false\ncycle 2\nt = not t\npusher_0.on(t)\n");
    SimResult level = run_sim("--describe --level later.lvl");
    EXPECT_EQ(level.out, "level later.lvl\npart a x=20 y=16 from=82 to=71\ninit 0\ncycle 0\n");
    SimResult list = run_sim("--list");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "sim.lvl\tSim test\nlater.lvl\tLater, harder\n");
}
