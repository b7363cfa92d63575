// Pushing groups, shoving chains, hold marks and glue.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "level/level.h"
#include "test_device.h"

namespace {
// Puts loose blocks along row y from x0 ('x' leaves a cell empty).
void put(Level& level, int y, int x0, const std::string& types) {
    for (size_t i = 0; i < types.size(); ++i)
        if (types[i] != 'x')
            level.add_block(x0 + static_cast<int>(i), y, types[i]);
}

// The block types of row y from x0 to x1, 'x' where empty.
std::string row(const Level& level, int y, int x0, int x1) {
    std::string text;
    for (int x = x0; x <= x1; ++x)
        text += static_cast<char>(level.blocks[x][y]);
    return text;
}

// Glues cells into the group of the first one, as a merge would.
void glue(Level& level, std::initializer_list<std::pair<int, int>> cells) {
    int group = level.groups[cells.begin()->first][cells.begin()->second];
    for (auto [x, y] : cells)
        level.groups[x][y] = group;
}
} // namespace

TEST(PushBlock, FloorEdgesAndCellsOutsideTheGridsAreSolid) {
    Level level;
    EXPECT_FALSE(level.push_block(-1, 4, -1, 0));
    EXPECT_FALSE(level.push_block(4, -1, 0, -1));
    EXPECT_FALSE(level.push_block(GRID_W, 4, 1, 0));
    // The always-empty extra column and row answer as empty cells.
    EXPECT_TRUE(level.push_block(FLOOR_W, 4, 1, 0));
    EXPECT_TRUE(level.push_block(4, FLOOR_H, 0, 1));

    level.add_block(0, 0, 'G');
    EXPECT_FALSE(level.push_block(0, 0, -1, 0));
    EXPECT_FALSE(level.push_block(0, 0, 0, -1));
    put(level, 3, 23, "RGU"); // a chain against the right edge moves nothing
    EXPECT_FALSE(level.push_block(23, 3, 1, 0));
    EXPECT_EQ(row(level, 0, 0, 0) + row(level, 3, 23, 25), "GRGU");
}

TEST(PushBlock, ChainMovesWithItsNumbersUntilASolidDeviceCell) {
    Level level;
    put(level, 3, 5, "RGU");
    TestDevice* wall = add_test_device(level, 8, 3);
    wall->covered.insert({8, 3}); // covering a cell, as a belt does, does not block
    wall->solid.insert({9, 3});
    EXPECT_TRUE(level.push_block(5, 3, 1, 0));
    EXPECT_EQ(row(level, 3, 5, 8), "xRGU");
    EXPECT_EQ((std::vector<int>{level.groups[6][3], level.groups[7][3], level.groups[8][3]}),
              (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(level.push_block(6, 3, 1, 0));
    EXPECT_EQ(row(level, 3, 5, 9), "xRGUx");
}

TEST(PushBlock, GroupMovesIntoItsOwnCellsAndCarriesGlueMarks) {
    Level level;
    put(level, 2, 2, "RGU");
    glue(level, {{2, 2}, {3, 2}, {4, 2}});
    level.sticky[3][2] = 1;
    level.held[10][10] = 1;
    EXPECT_TRUE(level.push_group(1, 1, 0));
    EXPECT_EQ(row(level, 2, 2, 5), "xRGU");
    EXPECT_EQ(level.sticky[3][2], 0);
    EXPECT_EQ(level.sticky[4][2], 1);
    EXPECT_EQ(level.held[10][10], 1) << "hold marks belong to cells";
}

// A vertical pair pushed right with a block in front of each cell. The walk
// reaches the upper cell first: its shove stays even when the lower cell is
// then found blocked, by a solid device or a hold mark; a hold mark on the
// upper cell stops the push before anything moves.
TEST(PushBlock, FailedPushDoesNotUndoEarlierShoves) {
    for (int held_y : {0, 3, 4}) { // 0: no hold mark, a solid device at (6,4)
        SCOPED_TRACE(held_y);
        Level level;
        put(level, 3, 4, "RG");
        put(level, 4, 4, "RU");
        glue(level, {{4, 3}, {4, 4}});
        if (held_y == 0)
            add_test_device(level, 6, 4)->solid.insert({6, 4});
        else
            level.held[4][held_y] = 1;
        EXPECT_FALSE(level.push_block(4, 3, 1, 0));
        EXPECT_EQ(row(level, 3, 4, 6), held_y == 3 ? "RGx" : "RxG");
        EXPECT_EQ(row(level, 4, 4, 5), "RU");
        EXPECT_EQ(level.groups[4][4], 1);
    }
}

// Two glued shapes hooked into each other along the push: the push ends and
// fails, and neither moves.
TEST(PushBlock, InterlockedGroupsFailWithoutMoving) {
    Level level;
    put(level, 0, 1, "RG"); // group 1: (1,0) and (3,1)
    put(level, 1, 2, "GR"); // group 2: (2,0) and (2,1)
    level.groups[3][1] = 1;
    level.groups[2][1] = 2;
    EXPECT_FALSE(level.push_block(1, 0, 1, 0));
    EXPECT_EQ(row(level, 0, 1, 3) + row(level, 1, 1, 4), "RGxxGRx");
}

TEST(Glue, RunsAfterEveryPushOfABlockButNotOfAnEmptyCell) {
    Level level;
    level.add_block(25, 0, 'B');
    level.add_block(5, 6, 'G'); // below
    level.add_block(6, 5, 'U'); // right
    level.add_block(5, 5, 'R'); // group 4, sprayed
    level.sticky[5][5] = 1;
    EXPECT_TRUE(level.push_block(9, 9, 1, 0));
    EXPECT_EQ(level.sticky[5][5], 1) << "no glue step after an empty push";
    EXPECT_EQ(level.groups[5][6], 2);

    EXPECT_FALSE(level.push_block(25, 0, 1, 0));
    // Every neighbour joins the sprayed block's group in one pass.
    EXPECT_EQ(level.groups[5][6], 4);
    EXPECT_EQ(level.groups[6][5], 4);
    EXPECT_EQ(level.sticky[5][5], 0);
    EXPECT_TRUE(level.push_block(5, 6, 0, -1));
    EXPECT_EQ(row(level, 4, 5, 6) + row(level, 5, 5, 6), "RUGx");
}

// A glued shape touching the sprayed block on two sides merges at the side
// looked at first (below, above, right, left); the mark at the other side is
// not used up.
TEST(Glue, NeighbourOrderDecidesWhichMarkIsUsedUp) {
    // The shape's two cells beside (5,5), the second one sprayed, and whether
    // its mark is still there afterwards.
    const std::tuple<int, int, int, int, bool> cases[] = {
        {5, 6, 6, 5, true},  // below before right
        {5, 4, 5, 6, false}, // below before above
        {5, 4, 6, 5, true},  // above before right
        {4, 5, 6, 5, false}, // right before left
    };
    for (auto [x1, y1, x2, y2, keeps] : cases) {
        Level level;
        level.add_block(x1, y1, 'G');
        level.add_block(x2, y2, 'G');
        glue(level, {{x1, y1}, {x2, y2}});
        level.add_block(5, 5, 'R'); // group 3
        level.sticky[x2][y2] = level.sticky[5][5] = 1;
        level.do_sticky();
        SCOPED_TRACE(testing::Message() << x2 << "," << y2);
        EXPECT_EQ(level.groups[x1][y1], 3) << "the sprayed block's number";
        EXPECT_EQ(level.groups[x2][y2], 3);
        EXPECT_EQ(level.sticky[5][5], 0);
        EXPECT_EQ(level.sticky[x2][y2], keeps ? 1 : 0);
    }
}

TEST(Glue, FirstSprayedBlockUsesUpBothMarksALonelyOneKeepsItsMark) {
    Level level;
    level.add_block(5, 5, 'R'); // group 1, sprayed, reached first in the walk
    level.add_block(5, 6, 'G'); // group 2, sprayed
    level.add_block(6, 6, 'U'); // group 3, touches only the second block
    level.add_block(0, 0, 'R'); // in the corner, alone
    level.sticky[5][5] = level.sticky[5][6] = level.sticky[0][0] = 1;
    level.do_sticky();
    EXPECT_EQ(level.groups[5][6], 1);
    EXPECT_EQ(level.sticky[5][5], 0);
    EXPECT_EQ(level.sticky[5][6], 0);
    EXPECT_EQ(level.groups[6][6], 3) << "the second mark was used up by the first merge";
    EXPECT_EQ(level.sticky[0][0], 1);
    // A block pushed next to it is glued at the end of that same push.
    level.add_block(2, 0, 'G');
    EXPECT_TRUE(level.push_block(2, 0, -1, 0));
    EXPECT_EQ(level.groups[1][0], 4);
    EXPECT_EQ(level.sticky[0][0], 0);
}
