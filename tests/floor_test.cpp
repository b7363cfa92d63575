// The floor: the order and timing of a step, groups, win and reset; pushing
// groups and chains, hold marks and glue; spawners and catchers.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "level/level.h"
#include "support.h"

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

std::string dump_of(const Level& level) {
    testing::internal::CaptureStdout();
    level.debug();
    return testing::internal::GetCapturedStdout();
}
} // namespace

TEST(LevelTick, CatchersThenSpawnersThenDevicesInListOrder) {
    Level level;
    level.spawners.push_back(std::make_unique<Spawner>(2, 2, 'R', 1));
    level.catchers.push_back(std::make_unique<Catcher>(1, 1, 1, 1, "R"));
    std::vector<std::string> log;
    place<StubDevice>(level)->on_tick = [&](Level* l) {
        log.push_back("first t" + std::to_string(l->ticks) + (l->has_block(2, 2) ? " block" : " none"));
    };
    place<StubDevice>(level)->on_tick = [&](Level* l) { log.push_back("second t" + std::to_string(l->ticks)); };
    level.tick();
    // The block spawned this step is seen by the devices of the same step...
    ASSERT_EQ(log, (std::vector<std::string>{"first t1 block", "second t1"}));
    EXPECT_EQ(level.catchers[0]->remaining, 5);
    level.tick();
    // ...and taken by the catcher only in the next step, before the spawner
    // puts the next one down.
    EXPECT_EQ(level.catchers[0]->remaining, 4);
    EXPECT_EQ(level.groups[2][2], 2);
}

TEST(LevelTick, SpawnersFireOnMultiplesOfTheirPeriodFromTheFirstStep) {
    Level level;
    level.spawners.push_back(std::make_unique<Spawner>(0, 0, 'G', 3));
    level.spawners.push_back(std::make_unique<Spawner>(3, 10, 'R', 1));
    level.spawners.push_back(std::make_unique<Spawner>(1, 1, 'R', 0));
    level.spawners.push_back(std::make_unique<Spawner>(2, 1, 'R', -4));
    level.add_block(3, 10, 'G');
    level.sticky[3][10] = 1;
    std::vector<int> fired;
    for (int step = 0; step < 9; ++step) {
        level.tick();
        if (level.has_block(0, 0))
            fired.push_back(level.ticks);
        level.blocks[0][0] = EMPTY_BLOCK;
    }
    EXPECT_EQ(fired, (std::vector<int>{3, 6, 9}));
    EXPECT_EQ(level.blocks[3][10], 'R') << "a spawner replaces the block on its cell";
    EXPECT_EQ(level.sticky[3][10], 0);
    EXPECT_FALSE(level.has_block(1, 1) || level.has_block(2, 1)) << "a period of zero or less never fires";
}

TEST(LevelGroups, NumbersAreConsecutiveRestartAfterClearAndOverwriteOneCell) {
    Level level;
    level.add_block(1, 1, 'R');
    level.add_block(FLOOR_W, 0, 'R'); // off the floor: nothing, no number used
    level.add_block(-1, 3, 'R');
    level.add_block(2, 1, 'G');
    EXPECT_EQ(level.groups[2][1], 2);
    EXPECT_EQ(level.blocks[FLOOR_W][0], EMPTY_BLOCK);
    level.clear_blocks();
    level.add_block(3, 3, 'R');
    EXPECT_EQ(level.groups[3][3], 1);
    level.add_block(3, 4, 'R');
    glue(level, {{3, 3}, {3, 4}});
    level.held[3][3] = level.sticky[3][3] = 1;
    level.add_block(3, 3, 'B');
    EXPECT_EQ(level.groups[3][3], 3);
    EXPECT_EQ(level.groups[3][4], 1) << "the rest keeps its old number";
    EXPECT_EQ(level.sticky[3][3], 0);
    EXPECT_EQ(level.held[3][3], 1) << "the hold mark is left as it was";
}

TEST(LevelWin, NoCatchersWinsAndEveryCatcherMustBeAtZero) {
    Level level;
    EXPECT_TRUE(level.win());
    for (int x : {0, 5})
        level.catchers.push_back(std::make_unique<Catcher>(x, 0, 1, 1, "R"));
    level.catchers[0]->remaining = 0;
    EXPECT_FALSE(level.win());
    level.catchers[1]->remaining = 0;
    EXPECT_TRUE(level.win());
}

TEST(LevelReset, RestoresTheStartOfARunWhereClearingOnlyEmptiesTheFloor) {
    Level level;
    level.catchers.push_back(std::make_unique<Catcher>(0, 0, 1, 1, "R"));
    StubDevice* device = place<StubDevice>(level);
    level.catchers[0]->remaining = 2;
    level.ticks = 40;
    level.add_block(5, 5, 'R');
    level.clear_blocks();
    EXPECT_EQ(level.ticks, 40);
    EXPECT_EQ(level.catchers[0]->remaining, 2);
    EXPECT_EQ(level.next_group, 1);
    EXPECT_EQ(device->resets, 0);
    level.add_block(5, 5, 'R');
    level.sticky[5][5] = level.held[6][6] = 1;
    level.reset();
    EXPECT_EQ(dump_of(level), dump_of(Level())) << "no blocks, groups or glue marks";
    EXPECT_EQ(level.held[6][6], 0);
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
    EXPECT_EQ(dump_of(level), grid("blocks[][]\n", "52 ") + grid("\ngroups[][]\n", "1d ") + grid("\nsticky[][]\n", " 1 "));
}

TEST(PushBlock, FloorEdgesAndCellsOutsideTheGridsAreSolid) {
    Level level;
    EXPECT_FALSE(level.push_block(-1, 4, -1, 0));
    EXPECT_FALSE(level.push_block(GRID_W, 4, 1, 0));
    // The always-empty extra column and row answer as empty cells.
    EXPECT_TRUE(level.push_block(FLOOR_W, 4, 1, 0));
    EXPECT_TRUE(level.push_block(4, FLOOR_H, 0, 1));
    level.add_block(0, 0, 'G');
    EXPECT_FALSE(level.push_block(0, 0, -1, 0));
    EXPECT_FALSE(level.push_block(0, 0, 0, -1));
    put(level, 3, 23, "RGU"); // a chain against the right edge moves nothing
    EXPECT_FALSE(level.push_block(23, 3, 1, 0));
    put(level, 21, 5, "B");
    EXPECT_FALSE(level.push_block(5, 21, 0, 1));
    EXPECT_EQ(row(level, 0, 0, 0) + row(level, 3, 23, 25) + row(level, 21, 5, 5), "GRGUB");
}

TEST(PushBlock, ChainMovesWithItsNumbersUntilASolidDeviceCell) {
    Level level;
    put(level, 3, 5, "RGU");
    StubDevice* wall = place<StubDevice>(level);
    wall->covered.insert({8, 3}); // covering a cell, as a belt does, does not block
    wall->solid.insert({9, 3});
    EXPECT_TRUE(level.push_block(5, 3, 1, 0));
    EXPECT_EQ(row(level, 3, 5, 8), "xRGU");
    EXPECT_EQ((std::vector<int>{level.groups[6][3], level.groups[7][3], level.groups[8][3]}), (std::vector<int>{1, 2, 3}));
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
            place<StubDevice>(level)->solid.insert({6, 4});
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
    EXPECT_EQ(level.groups[5][6], 2) << "no glue step after an empty push";
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
// not used up. The first sprayed block of the walk uses up both marks of a
// merge; a lonely mark waits for a neighbour.
TEST(Glue, NeighbourOrderDecidesWhichMarkIsUsedUp) {
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
        level.add_block(0, 0, 'R'); // alone in the corner
        level.sticky[x2][y2] = level.sticky[5][5] = level.sticky[0][0] = 1;
        level.do_sticky();
        SCOPED_TRACE(testing::Message() << x2 << "," << y2);
        EXPECT_EQ(level.groups[x1][y1], 3) << "the sprayed block's number";
        EXPECT_EQ(level.groups[x2][y2], 3);
        EXPECT_EQ(level.sticky[5][5], 0);
        EXPECT_EQ(level.sticky[x2][y2], keeps ? 1 : 0);
        EXPECT_EQ(level.sticky[0][0], 1);
    }
}

namespace {
struct Cell {
    int x, y;
    unsigned char type;
    int glue; // cells with the same label form one group
};

// A catcher at (10, 5) with these blocks on the floor; its count after a tick.
int catcher_takes(const char* pattern, const std::vector<Cell>& cells, Level& level) {
    level.catchers.push_back(std::make_unique<Catcher>(10, 5, static_cast<int>(std::string(pattern).size()), 1, pattern));
    std::map<int, int> groups;
    for (const Cell& c : cells) {
        level.add_block(c.x, c.y, c.type);
        groups.emplace(c.glue, level.groups[c.x][c.y]);
        level.groups[c.x][c.y] = groups[c.glue];
    }
    level.catchers.back()->tick(&level);
    return level.catchers.back()->remaining;
}
} // namespace

TEST(Catcher, TakesAGluedPairAnywhereInItsArea) {
    for (int ox = 0; ox < 3; ++ox) {
        for (int oy = 0; oy < 3; ++oy) {
            Level level;
            EXPECT_EQ(catcher_takes("RR", {{10 + ox, 5 + oy, 'R', 1}, {11 + ox, 5 + oy, 'R', 1}}, level), 4);
            EXPECT_FALSE(level.has_block(10 + ox, 5 + oy));
            EXPECT_EQ(level.groups[11 + ox][5 + oy], 0);
        }
    }
}

// Only a group of exactly the pattern's blocks, of the right types, matches;
// cells marked "x" in the pattern are not looked at.
TEST(Catcher, MatchesTheGroupNotTheCells) {
    const struct {
        const char* what;
        const char* pattern;
        std::vector<Cell> cells;
        int remaining;
    } cases[] = {
        {"two loose blocks", "RR", {{10, 5, 'R', 1}, {11, 5, 'R', 2}}, 5},
        {"vertical pair", "RR", {{12, 6, 'R', 1}, {12, 7, 'R', 1}}, 5},
        {"group of three", "RR", {{10, 5, 'R', 1}, {11, 5, 'R', 1}, {12, 5, 'R', 1}}, 5},
        {"wrong type", "RG", {{10, 5, 'R', 1}, {11, 5, 'R', 1}}, 5},
        {"red beside a loose block", "Rx", {{12, 6, 'R', 1}, {13, 6, 'G', 2}}, 4},
        {"red beside a loose block, off the area", "Rx", {{13, 6, 'R', 1}, {14, 6, 'G', 2}}, 5},
        {"red glued to anything", "Rx", {{10, 5, 'R', 1}, {11, 5, 'R', 1}}, 5},
        {"two singles in one step", "R", {{10, 5, 'R', 1}, {12, 7, 'R', 2}}, 3},
    };
    for (const auto& c : cases) {
        Level level;
        EXPECT_EQ(catcher_takes(c.pattern, c.cells, level), c.remaining) << c.what;
    }
}

TEST(Catcher, KeepsTakingAtZeroAndLeavesHoldMarks) {
    Level level;
    level.held[10][5] = 1;
    catcher_takes("R", {{10, 5, 'R', 1}}, level);
    EXPECT_EQ(level.held[10][5], 1);
    level.catchers[0]->remaining = 0;
    level.add_block(11, 6, 'R');
    level.catchers[0]->tick(&level);
    EXPECT_EQ(level.catchers[0]->remaining, 0);
    EXPECT_FALSE(level.has_block(11, 6));
}

TEST(Catcher, OffFloorOrMalformedCatchersNeverMatch) {
    Level level;
    // Areas reaching past the right edge or the bottom, a pattern too short,
    // a negative anchor, an empty area.
    level.catchers.push_back(std::make_unique<Catcher>(24, 0, 1, 1, "R"));
    level.catchers.push_back(std::make_unique<Catcher>(0, 20, 1, 1, "R"));
    level.catchers.push_back(std::make_unique<Catcher>(5, 5, 2, 2, "RR"));
    level.catchers.push_back(std::make_unique<Catcher>(-1, 5, 1, 1, "R"));
    level.catchers.push_back(std::make_unique<Catcher>(8, 8, 0, 0, ""));
    for (int x = 0; x < FLOOR_W; ++x)
        for (int y = 0; y < FLOOR_H; ++y)
            level.add_block(x, y, 'R');
    level.tick();
    for (auto& catcher : level.catchers)
        EXPECT_EQ(catcher->remaining, 5);
    EXPECT_TRUE(level.has_block(25, 2));
}
