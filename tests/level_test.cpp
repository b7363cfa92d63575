// The level model: step order, timing, groups, win, reset and the grid dump.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "level/level.h"
#include "test_device.h"

TEST(LevelTick, CatchersThenSpawnersThenDevicesInListOrder) {
    Level level;
    level.spawners.push_back(std::make_unique<Spawner>(2, 2, 'R', 1));
    // A catcher around the spawner cell wanting a single red block.
    level.catchers.push_back(std::make_unique<Catcher>(1, 1, 1, 1, "R"));
    std::vector<std::string> log;
    TestDevice* first = add_test_device(level, 10, 10);
    TestDevice* second = add_test_device(level, 12, 10);
    first->on_tick = [&](Level* l) {
        log.push_back("first t" + std::to_string(l->ticks) + (l->has_block(2, 2) ? " block" : " none"));
    };
    second->on_tick = [&](Level* l) { log.push_back("second t" + std::to_string(l->ticks)); };

    level.tick();
    // The block spawned this step is seen by the devices of the same step...
    ASSERT_EQ(log, (std::vector<std::string>{"first t1 block", "second t1"}));
    EXPECT_EQ(level.catchers[0]->remaining, 5);
    level.tick();
    // ...and taken by the catcher only in the next step, before the spawner
    // puts the next one down.
    EXPECT_EQ(level.catchers[0]->remaining, 4);
    EXPECT_TRUE(level.has_block(2, 2));
    EXPECT_EQ(level.groups[2][2], 2);
}

TEST(LevelTick, FirstStepAfterResetRunsWithTicksOne) {
    Level level;
    level.spawners.push_back(std::make_unique<Spawner>(0, 0, 'G', 3));
    level.spawners.push_back(std::make_unique<Spawner>(5, 0, 'R', 1));
    std::vector<int> fired;
    for (int step = 0; step < 9; ++step) {
        level.clear_blocks();
        level.tick();
        if (level.has_block(0, 0))
            fired.push_back(level.ticks);
        EXPECT_TRUE(level.has_block(5, 0)) << "period 1 fires every step";
    }
    EXPECT_EQ(fired, (std::vector<int>{3, 6, 9}));
    level.reset();
    EXPECT_EQ(level.ticks, 0);
    level.tick();
    EXPECT_EQ(level.ticks, 1);
}

TEST(LevelGroups, NumbersAreConsecutiveRestartAfterClearAndOverwriteOneCell) {
    Level level;
    level.add_block(1, 1, 'R');
    level.add_block(2, 1, 'G');
    EXPECT_EQ(level.groups[1][1], 1);
    EXPECT_EQ(level.groups[2][1], 2);
    level.add_block(FLOOR_W, 0, 'R'); // off the floor: nothing, no number used
    level.add_block(-1, 3, 'R');
    EXPECT_EQ(level.blocks[FLOOR_W][0], EMPTY_BLOCK);
    EXPECT_EQ(level.next_group, 3);
    level.clear_blocks();
    EXPECT_EQ(level.blocks[1][1], EMPTY_BLOCK);

    level.add_block(3, 3, 'R');
    EXPECT_EQ(level.groups[3][3], 1);
    level.add_block(3, 4, 'R');
    level.groups[3][4] = 1; // glued pair, group 1
    level.held[3][3] = 1;
    level.sticky[3][3] = 1;
    level.add_block(3, 3, 'B');
    EXPECT_EQ(level.blocks[3][3], 'B');
    EXPECT_EQ(level.groups[3][3], 3);
    EXPECT_EQ(level.groups[3][4], 1) << "the rest keeps its old number";
    EXPECT_EQ(level.sticky[3][3], 0);
    EXPECT_EQ(level.held[3][3], 1) << "the hold mark is left as it was";
}

TEST(LevelWin, NoCatchersWinsAndEveryCatcherMustBeAtZero) {
    Level level;
    EXPECT_TRUE(level.win()) << "no catchers";
    for (int x : {0, 5})
        level.catchers.push_back(std::make_unique<Catcher>(x, 0, 1, 1, "R"));
    level.catchers[0]->remaining = 0;
    EXPECT_FALSE(level.win());
    level.catchers[1]->remaining = 0;
    EXPECT_TRUE(level.win());
}

namespace {
std::string dump_of(const Level& level) {
    testing::internal::CaptureStdout();
    level.debug();
    return testing::internal::GetCapturedStdout();
}
} // namespace

TEST(LevelReset, RestoresTheStartOfARunWhereClearingOnlyEmptiesTheFloor) {
    Level level;
    level.catchers.push_back(std::make_unique<Catcher>(0, 0, 1, 1, "R"));
    TestDevice* device = add_test_device(level, 10, 10);
    level.catchers[0]->remaining = 2;
    level.ticks = 40;
    level.clear_blocks();
    EXPECT_EQ(level.ticks, 40);
    EXPECT_EQ(level.catchers[0]->remaining, 2);
    EXPECT_EQ(device->resets, 0);

    level.add_block(5, 5, 'R');
    level.sticky[5][5] = 1;
    level.held[6][6] = 1;
    level.reset();
    EXPECT_EQ(dump_of(level), dump_of(Level())) << "no blocks, groups or glue marks";
    EXPECT_EQ(level.held[6][6], 0);
    EXPECT_EQ(level.next_group, 1);
    EXPECT_EQ(level.catchers[0]->remaining, 5);
    EXPECT_EQ(level.ticks, 0);
    EXPECT_EQ(device->resets, 1);
}

TEST(LevelDebug, PrintsTypeCodesGroupsAndMarksInHex) {
    Level level;
    for (int i = 0; i < 29; ++i)
        level.add_block(20, 10, 'R'); // group 29 = 0x1d
    level.sticky[20][10] = 1;
    auto grid = [](const std::string& heading, const char* marked) {
        std::string text = heading;
        for (int y = 0; y < GRID_H; ++y) {
            for (int x = 0; x < GRID_W; ++x)
                text += (x == 20 && y == 10) ? marked : " 0 ";
            text += "\n";
        }
        return text;
    };
    EXPECT_EQ(dump_of(level),
              grid("blocks[][]\n", "52 ") + grid("\ngroups[][]\n", "1d ") + grid("\nsticky[][]\n", " 1 "));
}
