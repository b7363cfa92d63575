// Spawners put blocks down on time; catchers take exactly matching groups.
#include <gtest/gtest.h>

#include "level/level.h"

TEST(Spawner, FiresOnMultiplesOfItsPeriodOnly) {
    Level level;
    level.spawners.push_back(std::make_unique<Spawner>(3, 10, 'R', 20));
    for (int step = 1; step <= 60; ++step) {
        level.tick();
        bool fired = level.has_block(3, 10);
        EXPECT_EQ(fired, step % 20 == 0) << "step " << step;
        level.clear_blocks();
    }
}

TEST(Spawner, ReplacesTheBlockOnItsCell) {
    Level level;
    level.spawners.push_back(std::make_unique<Spawner>(3, 10, 'R', 1));
    level.add_block(3, 10, 'G');
    level.sticky[3][10] = 1;
    level.tick();
    EXPECT_EQ(level.blocks[3][10], 'R');
    EXPECT_EQ(level.groups[3][10], 2);
    EXPECT_EQ(level.sticky[3][10], 0);
}

TEST(Spawner, PeriodZeroOrLessNeverFires) {
    Level level;
    level.spawners.push_back(std::make_unique<Spawner>(1, 1, 'R', 0));
    level.spawners.push_back(std::make_unique<Spawner>(2, 1, 'R', -4));
    for (int step = 0; step < 10; ++step)
        level.tick();
    EXPECT_FALSE(level.has_block(1, 1));
    EXPECT_FALSE(level.has_block(2, 1));
}

namespace {
Catcher& add_catcher(Level& level, int x, int y, int w, int h, const char* pattern) {
    level.catchers.push_back(std::make_unique<Catcher>(x, y, w, h, pattern));
    return *level.catchers.back();
}

void glued_pair(Level& level, int x1, int y1, int x2, int y2, unsigned char type = 'R') {
    level.add_block(x1, y1, type);
    level.add_block(x2, y2, type);
    level.groups[x2][y2] = level.groups[x1][y1];
}
} // namespace

TEST(Catcher, CountsItsNonEmptyPatternCells) {
    Catcher catcher(0, 0, 3, 2, "RxGxxU");
    EXPECT_EQ(catcher.pattern_blocks, 3);
    EXPECT_EQ(catcher.remaining, 5);
}

TEST(Catcher, TakesAGluedPairAnywhereInItsArea) {
    for (int ox = 0; ox < 3; ++ox) {
        for (int oy = 0; oy < 3; ++oy) {
            Level level;
            Catcher& catcher = add_catcher(level, 10, 5, 2, 1, "RR");
            glued_pair(level, 10 + ox, 5 + oy, 11 + ox, 5 + oy);
            level.sticky[10 + ox][5 + oy] = 1;
            catcher.tick(&level);
            EXPECT_EQ(catcher.remaining, 4) << ox << "," << oy;
            EXPECT_FALSE(level.has_block(10 + ox, 5 + oy));
            EXPECT_EQ(level.groups[11 + ox][5 + oy], 0);
            EXPECT_EQ(level.sticky[10 + ox][5 + oy], 0);
        }
    }
}

TEST(Catcher, RefusesWrongShapesAndLooseBlocks) {
    Level level;
    Catcher& catcher = add_catcher(level, 10, 5, 2, 1, "RR");
    level.add_block(10, 5, 'R'); // two separate groups
    level.add_block(11, 5, 'R');
    glued_pair(level, 12, 6, 12, 7); // one above the other
    catcher.tick(&level);
    EXPECT_EQ(catcher.remaining, 5);

    Level other;
    Catcher& second = add_catcher(other, 10, 5, 2, 1, "RR");
    glued_pair(other, 10, 5, 11, 5);
    other.add_block(12, 5, 'R'); // a third block glued on
    other.groups[12][5] = other.groups[10][5];
    second.tick(&other);
    EXPECT_EQ(second.remaining, 5);
    EXPECT_TRUE(other.has_block(10, 5));
}

TEST(Catcher, WrongTypeDoesNotMatch) {
    Level level;
    Catcher& catcher = add_catcher(level, 10, 5, 2, 1, "RG");
    glued_pair(level, 10, 5, 11, 5, 'R');
    catcher.tick(&level);
    EXPECT_EQ(catcher.remaining, 5);
}

TEST(Catcher, UnjudgedCellsAreNotLookedAt) {
    for (int column = 0; column < 4; ++column) {
        Level level;
        Catcher& catcher = add_catcher(level, 10, 5, 2, 1, "Rx");
        level.add_block(10 + column, 6, 'R');
        level.add_block(11 + column, 6, 'G'); // a separate block to its right
        catcher.tick(&level);
        EXPECT_EQ(catcher.remaining, column < 3 ? 4 : 5) << "column " << column;
    }
    Level glued;
    Catcher& catcher = add_catcher(glued, 10, 5, 2, 1, "Rx");
    glued_pair(glued, 10, 5, 11, 5);
    catcher.tick(&glued);
    EXPECT_EQ(catcher.remaining, 5) << "a red glued to anything is not a single red";
}

TEST(Catcher, TakesSeveralGroupsInOneStepAndKeepsTakingAtZero) {
    Level level;
    Catcher& catcher = add_catcher(level, 10, 5, 1, 1, "R");
    level.add_block(10, 5, 'R');
    level.add_block(12, 7, 'R');
    catcher.tick(&level);
    EXPECT_EQ(catcher.remaining, 3);
    catcher.remaining = 0;
    level.add_block(11, 6, 'R');
    catcher.tick(&level);
    EXPECT_EQ(catcher.remaining, 0);
    EXPECT_FALSE(level.has_block(11, 6));
}

TEST(Catcher, LeavesHoldMarksAlone) {
    Level level;
    Catcher& catcher = add_catcher(level, 10, 5, 1, 1, "R");
    level.add_block(10, 5, 'R');
    level.held[10][5] = 1;
    catcher.tick(&level);
    EXPECT_EQ(catcher.remaining, 4);
    EXPECT_EQ(level.held[10][5], 1);
}

TEST(Catcher, FiveDeliveriesWinTheLevel) {
    Level level;
    add_catcher(level, 10, 5, 1, 1, "R");
    level.spawners.push_back(std::make_unique<Spawner>(11, 6, 'R', 1));
    int steps = 0;
    while (!level.win() && steps < 100) {
        level.tick();
        ++steps;
    }
    EXPECT_TRUE(level.win());
    EXPECT_EQ(steps, 6) << "a block spawned in step n is taken in step n + 1";
}

TEST(Catcher, OffFloorOrMalformedCatchersNeverMatch) {
    Level level;
    // Area reaching past the right edge, a pattern too short, a negative anchor.
    add_catcher(level, 24, 0, 1, 1, "R");
    add_catcher(level, 0, 20, 1, 1, "R");
    add_catcher(level, 5, 5, 2, 2, "RR");
    add_catcher(level, -1, 5, 1, 1, "R");
    add_catcher(level, 8, 8, 0, 0, "");
    for (int x = 0; x < FLOOR_W; ++x)
        for (int y = 0; y < FLOOR_H; ++y)
            level.add_block(x, y, 'R');
    level.tick();
    for (auto& catcher : level.catchers)
        EXPECT_EQ(catcher->remaining, 5);
    EXPECT_TRUE(level.has_block(25, 2));
}
