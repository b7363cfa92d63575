// Pushing groups, shoving chains, hold marks and glue.
#include <gtest/gtest.h>

#include "level/level.h"
#include "test_device.h"

namespace {
// Glues cells into the group of the first one, as a merge would.
void glue(Level& level, std::initializer_list<std::pair<int, int>> cells) {
    int group = level.groups[cells.begin()->first][cells.begin()->second];
    for (auto [x, y] : cells)
        level.groups[x][y] = group;
}
} // namespace

TEST(PushBlock, EmptyCellSucceedsAndChangesNothing) {
    Level level;
    level.add_block(5, 5, 'R');
    level.add_block(5, 6, 'G');
    level.sticky[5][5] = 1;
    EXPECT_TRUE(level.push_block(9, 9, 1, 0));
    EXPECT_EQ(level.sticky[5][5], 1) << "no glue step after an empty push";
    EXPECT_NE(level.groups[5][5], level.groups[5][6]);
}

TEST(PushBlock, BlocksNeverLeaveTheFloor) {
    Level level;
    level.add_block(25, 3, 'R');
    EXPECT_FALSE(level.push_block(25, 3, 1, 0));
    EXPECT_EQ(level.blocks[25][3], 'R');
    level.add_block(0, 0, 'G');
    EXPECT_FALSE(level.push_block(0, 0, -1, 0));
    EXPECT_FALSE(level.push_block(0, 0, 0, -1));
    EXPECT_EQ(level.blocks[0][0], 'G');
}

TEST(PushBlock, CellsOutsideTheGridsAreSolid) {
    Level level;
    EXPECT_FALSE(level.push_block(-1, 4, -1, 0));
    EXPECT_FALSE(level.push_block(4, -1, 0, -1));
    EXPECT_FALSE(level.push_block(GRID_W, 4, 1, 0));
    // The always-empty extra column and row answer as empty cells.
    EXPECT_TRUE(level.push_block(FLOOR_W, 4, 1, 0));
    EXPECT_TRUE(level.push_block(4, FLOOR_H, 0, 1));
}

TEST(PushBlock, ChainOfThreeMovesLastOneFirstAndKeepsNumbers) {
    Level level;
    level.add_block(5, 3, 'R');
    level.add_block(6, 3, 'G');
    level.add_block(7, 3, 'U');
    EXPECT_TRUE(level.push_block(5, 3, 1, 0));
    EXPECT_EQ(level.blocks[5][3], EMPTY_BLOCK);
    EXPECT_EQ(level.blocks[6][3], 'R');
    EXPECT_EQ(level.blocks[7][3], 'G');
    EXPECT_EQ(level.blocks[8][3], 'U');
    EXPECT_EQ(level.groups[6][3], 1);
    EXPECT_EQ(level.groups[7][3], 2);
    EXPECT_EQ(level.groups[8][3], 3);
}

TEST(PushBlock, ChainAgainstTheEdgeMovesNothing) {
    Level level;
    level.add_block(23, 3, 'R');
    level.add_block(24, 3, 'G');
    level.add_block(25, 3, 'U');
    EXPECT_FALSE(level.push_block(23, 3, 1, 0));
    EXPECT_EQ(level.blocks[23][3], 'R');
    EXPECT_EQ(level.blocks[24][3], 'G');
    EXPECT_EQ(level.blocks[25][3], 'U');
}

TEST(PushBlock, SolidDeviceCellStopsTheGroup) {
    Level level;
    TestDevice* wall = add_test_device(level, 6, 3);
    wall->solid.insert({6, 3});
    level.add_block(5, 3, 'R');
    EXPECT_FALSE(level.push_block(5, 3, 1, 0));
    EXPECT_EQ(level.blocks[5][3], 'R');
    // A device that only covers a cell (like a belt) does not block.
    wall->solid.clear();
    wall->covered.insert({6, 3});
    EXPECT_TRUE(level.push_block(5, 3, 1, 0));
    EXPECT_EQ(level.blocks[6][3], 'R');
}

// A vertical pair pushed right: the block in front of its upper cell is shoved
// before the lower cell finds its way blocked, and it is not pulled back.
TEST(PushBlock, FailedPushDoesNotUndoEarlierShoves) {
    Level level;
    level.add_block(4, 3, 'R');
    level.add_block(4, 4, 'R');
    glue(level, {{4, 3}, {4, 4}});
    level.add_block(5, 3, 'G');
    level.add_block(5, 4, 'U');
    TestDevice* wall = add_test_device(level, 6, 4);
    wall->solid.insert({6, 4});

    EXPECT_FALSE(level.push_block(4, 3, 1, 0));
    EXPECT_EQ(level.blocks[6][3], 'G');
    EXPECT_EQ(level.blocks[5][3], EMPTY_BLOCK);
    EXPECT_EQ(level.blocks[5][4], 'U');
    EXPECT_EQ(level.blocks[4][3], 'R');
    EXPECT_EQ(level.blocks[4][4], 'R');
    EXPECT_EQ(level.groups[4][4], 1);
}

TEST(PushBlock, GroupMovesIntoItsOwnCellsAndCarriesGlueMarks) {
    Level level;
    level.add_block(2, 2, 'R');
    level.add_block(3, 2, 'G');
    level.add_block(4, 2, 'U');
    glue(level, {{2, 2}, {3, 2}, {4, 2}});
    level.sticky[3][2] = 1;
    level.held[10][10] = 1;
    EXPECT_TRUE(level.push_group(1, 1, 0));
    EXPECT_EQ(level.blocks[2][2], EMPTY_BLOCK);
    EXPECT_EQ(level.blocks[3][2], 'R');
    EXPECT_EQ(level.blocks[4][2], 'G');
    EXPECT_EQ(level.blocks[5][2], 'U');
    EXPECT_EQ(level.sticky[3][2], 0);
    EXPECT_EQ(level.sticky[4][2], 1);
    EXPECT_EQ(level.held[10][10], 1) << "hold marks belong to cells";
}

TEST(PushBlock, HeldGroupNeverMoves) {
    Level level;
    level.add_block(4, 3, 'R');
    level.held[4][3] = 1;
    EXPECT_FALSE(level.push_block(4, 3, 0, 1));
    EXPECT_EQ(level.blocks[4][3], 'R');
}

TEST(PushBlock, HeldCellFirstInWalkShovesNothing) {
    Level level;
    // Vertical pair, held at its upper cell, which the walk reaches first.
    level.add_block(4, 3, 'R');
    level.add_block(4, 4, 'R');
    glue(level, {{4, 3}, {4, 4}});
    level.held[4][3] = 1;
    level.add_block(5, 4, 'G');
    EXPECT_FALSE(level.push_block(4, 4, 1, 0));
    EXPECT_EQ(level.blocks[5][4], 'G');
}

TEST(PushBlock, ShovesBeforeALaterHeldCellStay) {
    Level level;
    level.add_block(4, 3, 'R');
    level.add_block(4, 4, 'R');
    glue(level, {{4, 3}, {4, 4}});
    level.held[4][4] = 1;
    level.add_block(5, 3, 'G');
    EXPECT_FALSE(level.push_block(4, 3, 1, 0));
    EXPECT_EQ(level.blocks[6][3], 'G');
    EXPECT_EQ(level.blocks[4][3], 'R');
}

// Two glued shapes hooked into each other along the push: the push ends and
// fails, and neither moves.
TEST(PushBlock, InterlockedGroupsFailWithoutMoving) {
    Level level;
    level.add_block(1, 0, 'R'); // group 1: (1,0) and (3,1)
    level.add_block(2, 0, 'G'); // group 2: (2,0) and (2,1)
    level.add_block(2, 1, 'G');
    level.add_block(3, 1, 'R');
    level.groups[3][1] = 1;
    level.groups[2][1] = 2;
    EXPECT_FALSE(level.push_block(1, 0, 1, 0));
    EXPECT_EQ(level.groups[1][0], 1);
    EXPECT_EQ(level.groups[3][1], 1);
    EXPECT_EQ(level.groups[2][0], 2);
    EXPECT_EQ(level.groups[2][1], 2);
    EXPECT_EQ(level.groups[4][1], 0);
}

TEST(Sticky, SprayedBlockJoinsEveryNeighbourGroupInOnePass) {
    Level level;
    level.add_block(5, 5, 'R'); // group 1, sprayed
    level.add_block(5, 6, 'G'); // below
    level.add_block(6, 5, 'U'); // right
    level.sticky[5][5] = 1;
    level.add_block(20, 20, 'B');
    EXPECT_TRUE(level.push_block(20, 20, 1, 0)); // any push runs the glue step
    EXPECT_EQ(level.groups[5][6], 1);
    EXPECT_EQ(level.groups[6][5], 1);
    EXPECT_EQ(level.sticky[5][5], 0);
    EXPECT_TRUE(level.push_block(5, 6, 0, -1));
    EXPECT_EQ(level.blocks[5][4], 'R');
    EXPECT_EQ(level.blocks[5][5], 'G');
    EXPECT_EQ(level.blocks[6][4], 'U');
}

TEST(Sticky, LonelySprayedBlockKeepsItsMarkUntilSomethingArrives) {
    Level level;
    level.add_block(5, 5, 'R');
    level.sticky[5][5] = 1;
    level.do_sticky();
    EXPECT_EQ(level.sticky[5][5], 1);
    // A block pushed next to it is glued at the end of that same push.
    level.add_block(7, 5, 'G');
    EXPECT_TRUE(level.push_block(7, 5, -1, 0));
    EXPECT_EQ(level.groups[6][5], 1);
    EXPECT_EQ(level.sticky[5][5], 0);
}

TEST(Sticky, FailedPushStillRunsTheGlueStep) {
    Level level;
    level.add_block(25, 0, 'R');
    level.add_block(10, 10, 'G');
    level.add_block(10, 11, 'U');
    level.sticky[10][10] = 1;
    EXPECT_FALSE(level.push_block(25, 0, 1, 0));
    EXPECT_EQ(level.groups[10][11], level.groups[10][10]);
}

TEST(Sticky, FirstSprayedBlockUsesUpBothMarks) {
    Level level;
    level.add_block(5, 5, 'R'); // group 1, sprayed, reached first in the walk
    level.add_block(5, 6, 'G'); // group 2, sprayed
    level.add_block(6, 6, 'U'); // group 3, touches only the second block
    level.sticky[5][5] = 1;
    level.sticky[5][6] = 1;
    level.do_sticky();
    EXPECT_EQ(level.groups[5][6], 1);
    EXPECT_EQ(level.sticky[5][5], 0);
    EXPECT_EQ(level.sticky[5][6], 0);
    EXPECT_EQ(level.groups[6][6], 3) << "the second mark was used up by the first merge";
}

TEST(Sticky, NeighbourOrderDecidesWhichMarkStaysUsable) {
    Level level;
    // Sprayed block with a block above it that is itself sprayed: the first
    // block's walk reaches (5,4) first, so (5,4) merges (5,5) into its group.
    level.add_block(5, 4, 'R');
    level.add_block(5, 5, 'G');
    level.sticky[5][4] = 1;
    level.sticky[5][5] = 1;
    level.do_sticky();
    EXPECT_EQ(level.groups[5][5], 1);
    EXPECT_EQ(level.sticky[5][4], 0);
    EXPECT_EQ(level.sticky[5][5], 0);
}

TEST(Sticky, MarksOnTheFloorEdgeSeeOnlyFloorNeighbours) {
    Level level;
    level.add_block(0, 0, 'R');
    level.sticky[0][0] = 1;
    level.add_block(25, 21, 'G');
    level.sticky[25][21] = 1;
    level.do_sticky();
    EXPECT_EQ(level.sticky[0][0], 1);
    EXPECT_EQ(level.sticky[25][21], 1);
}
