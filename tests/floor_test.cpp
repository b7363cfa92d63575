// The floor: the order and timing of a step, win and reset; pushing groups
// and chains, hold marks and glue; catchers.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <tuple>

#include "kinds/conveyer.h"
#include "level/construction_history.h"
#include "level/level.h"
#include "support.h"

namespace {
// Loose blocks along row y from x0 ('x' leaves a cell empty).
void put(Level& level, int y, int x0, const std::string& types) {
    for (size_t i = 0; i < types.size(); ++i)
        if (types[i] != 'x')
            level.add_block(x0 + static_cast<int>(i), y, types[i]);
}

// Glues cells into the group of the first one, as a merge would.
void glue(Level& level, std::initializer_list<std::pair<int, int>> cells) {
    for (auto [x, y] : cells)
        level.groups[x][y] = level.groups[cells.begin()->first][cells.begin()->second];
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
    level.spawners.push_back(std::make_unique<Spawner>(0, 0, 'G', 3));
    level.spawners.push_back(std::make_unique<Spawner>(1, 1, 'R', 0));
    level.catchers.push_back(std::make_unique<Catcher>(1, 1, 1, 1, "R"));
    std::string log;
    place<StubDevice>(level)->on_tick = [&](Level* l) { log += l->has_block(2, 2) ? "sees " : "blind "; };
    place<StubDevice>(level)->on_tick = [&](Level* l) {
        log += std::to_string(l->ticks) + (l->has_block(0, 0) ? "G " : " ");
    };
    level.tick();
    EXPECT_EQ(level.catchers[0]->remaining, 5) << "the catcher judges the floor before the spawner";
    level.tick();
    EXPECT_EQ(level.catchers[0]->remaining, 4);
    EXPECT_EQ(level.groups[2][2], 2);
    run_ticks(level, 4);
    EXPECT_EQ(log, "sees 1 sees 2 sees 3G sees 4G sees 5G sees 6G ") << "spawned in step 3, seen that step";
    EXPECT_FALSE(level.has_block(1, 1)) << "a period of zero never fires";
    std::string first_row = "47 "; // the green block's type code in hex
    for (int x = 1; x < GRID_W; ++x)
        first_row += " 0 ";
    EXPECT_EQ(dump_of(level).substr(0, 12 + first_row.size()), "blocks[][]\n" + first_row + "\n");
}

TEST(LevelReset, RestoresTheStartOfARunWhereClearingOnlyEmptiesTheFloor) {
    Level level;
    EXPECT_TRUE(level.win()) << "no catchers";
    for (int x : {0, 5})
        level.catchers.push_back(std::make_unique<Catcher>(x, 0, 1, 1, "R"));
    StubDevice* device = place<StubDevice>(level);
    level.catchers[0]->remaining = 0;
    EXPECT_FALSE(level.win()) << "every catcher must be done";
    level.ticks = 40;
    level.add_block(5, 5, 'R');
    level.clear_blocks();
    EXPECT_EQ(level.ticks + level.catchers[0]->remaining + device->resets, 40);
    EXPECT_EQ(level.next_group, 1);
    level.add_block(5, 5, 'R');
    level.add_block(FLOOR_W, 0, 'R'); // off the floor: nothing, no number used
    EXPECT_EQ(level.next_group, 2);
    level.sticky[5][5] = level.held[6][6] = 1;
    level.reset();
    EXPECT_EQ(dump_of(level), dump_of(Level())) << "no blocks, groups or glue marks";
    EXPECT_EQ(level.held[6][6] + level.ticks + level.catchers[0]->remaining + device->resets, 6);
}

TEST(PushBlock, EdgesChainsAndSolidCells) {
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
    EXPECT_EQ(row(level, 3, 23, 25) + row(level, 21, 5, 5), "RGUB");
    // A chain moves with its numbers over a belt until a solid cell.
    put(level, 6, 5, "RGU");
    place<DeviceConveyer>(level, 8, 6, Mobility::movable, 1, DIR_DOWN, 10);
    place<StubDevice>(level)->solid.insert({9, 6});
    EXPECT_TRUE(level.push_block(5, 6, 1, 0));
    EXPECT_EQ(row(level, 6, 5, 8), "xRGU");
    EXPECT_EQ(level.groups[6][6], 6) << "the numbers move along";
    EXPECT_FALSE(level.push_block(6, 6, 1, 0));
    EXPECT_EQ(row(level, 6, 5, 9), "xRGUx");
}

TEST(PushBlock, GroupMovesIntoItsOwnCellsAndCarriesGlueMarks) {
    Level level;
    put(level, 2, 2, "RGU");
    glue(level, {{2, 2}, {3, 2}, {4, 2}});
    level.sticky[3][2] = 1;
    level.held[10][10] = 1;
    EXPECT_TRUE(level.push_group(1, 1, 0));
    EXPECT_EQ(row(level, 2, 2, 5), "xRGU");
    EXPECT_EQ(level.sticky[4][2], 1);
    EXPECT_EQ(level.sticky[3][2] + level.held[10][10], 1) << "hold marks belong to cells";
}

// A vertical pair pushed right with a block in front of each cell. The walk
// reaches the upper cell first: its shove stays even when the lower cell is
// then found blocked, by a solid device or a hold mark; a hold mark on the
// upper cell stops the push before anything moves.
TEST(PushBlock, FailedPushDoesNotUndoEarlierShoves) {
    for (int held_y : {0, 3, 4}) { // 0: no hold mark, a solid device at (6,4)
        Level level;
        put(level, 3, 4, "RG");
        put(level, 4, 4, "RU");
        glue(level, {{4, 3}, {4, 4}});
        if (held_y == 0)
            place<StubDevice>(level)->solid.insert({6, 4});
        else
            level.held[4][held_y] = 1;
        EXPECT_FALSE(level.push_block(4, 3, 1, 0));
        EXPECT_EQ(row(level, 3, 4, 6) + row(level, 4, 4, 5), held_y == 3 ? "RGxRU" : "RxGRU") << held_y;
    }
    // Two glued shapes hooked into each other along the push: neither moves.
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
    EXPECT_EQ(level.groups[5][6] + level.groups[6][5] + level.sticky[5][5], 8);
    EXPECT_TRUE(level.push_block(5, 6, 0, -1));
    EXPECT_EQ(row(level, 4, 5, 6) + row(level, 5, 5, 6), "RUGx");
}

// A glued shape touching the sprayed block on two sides merges at the side
// looked at first (below, above, right, left); the mark at the other side is
// not used up. A lonely mark waits for a neighbour.
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
        level.add_block(0, 0, 'R');
        level.sticky[x2][y2] = level.sticky[5][5] = level.sticky[0][0] = 1;
        level.do_sticky();
        EXPECT_EQ(level.groups[x1][y1] + level.groups[x2][y2], 6) << "the sprayed block's number";
        EXPECT_EQ(std::make_tuple(level.sticky[5][5], level.sticky[x2][y2], level.sticky[0][0]),
                  std::make_tuple(0, keeps ? 1 : 0, 1))
            << x2 << "," << y2;
    }
}

// A catcher at (10, 5) judges the groups with a block in its 3 x 3 area of
// places; each cell is (x, y, type, glue label).
TEST(Catcher, TakesOnlyGroupsShapedExactlyLikeItsPattern) {
    const struct {
        const char* what;
        const char* pattern;
        std::vector<std::tuple<int, int, char, int>> cells;
        int remaining;
    } cases[] = {
        {"glued pair", "RR", {{10, 5, 'R', 1}, {11, 5, 'R', 1}}, 4},
        {"glued pair at the far corner", "RR", {{12, 7, 'R', 1}, {13, 7, 'R', 1}}, 4},
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
        level.catchers.push_back(
            std::make_unique<Catcher>(10, 5, static_cast<int>(std::strlen(c.pattern)), 1, c.pattern));
        std::map<int, int> groups;
        for (auto [x, y, type, label] : c.cells) {
            level.add_block(x, y, type);
            level.groups[x][y] = groups.emplace(label, level.groups[x][y]).first->second;
        }
        level.held[10][5] = 1;
        level.tick();
        EXPECT_EQ(level.catchers[0]->remaining, c.remaining) << c.what;
        EXPECT_EQ(level.has_block(std::get<0>(c.cells[0]), std::get<1>(c.cells[0])), c.remaining == 5) << c.what;
        EXPECT_EQ(level.held[10][5], 1) << "hold marks stay";
    }
    // Areas reaching past the floor's edges, a pattern too short, a negative
    // anchor, an empty area: never match. At zero a catcher still takes.
    Level level;
    for (auto [x, y, w, h, pattern] : {std::tuple{24, 0, 1, 1, "R"}, {0, 20, 1, 1, "R"}, {5, 5, 2, 2, "RR"},
                                      {-1, 5, 1, 1, "R"}, {8, 8, 0, 0, ""}, {12, 12, 1, 1, "R"}})
        level.catchers.push_back(std::make_unique<Catcher>(x, y, w, h, pattern));
    level.catchers.back()->remaining = 0;
    for (int x = 0; x < FLOOR_W; ++x)
        for (int y = 0; y < FLOOR_H; ++y)
            level.add_block(x, y, 'R');
    level.tick();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(level.catchers[i]->remaining, 5) << i;
    EXPECT_EQ(level.catchers[5]->remaining, 0);
    EXPECT_FALSE(level.has_block(12, 12));
}

// The history keeps the parts as they stood before each change, no more than
// its depth of them: undoing every change it kept leaves the parts of the
// oldest change it still holds, and redoing them all the parts of the last.
TEST(ConstructionHistory, KeepsABoundedNumberOfChangesAndRedoesThemAll) {
    Level level;
    ConstructionHistory history;
    const int changes = static_cast<int>(ConstructionHistory::DEPTH) + 3;
    auto records = [&] { return PartsSnapshot(level); };
    for (int i = 0; i < changes; ++i) {
        PartsSnapshot before(level);
        place<DeviceConveyer>(level, i % FLOOR_W, i / FLOOR_W, Mobility::movable, 1, DIR_UP, 10);
        history.commit(std::move(before), level);
        history.commit(PartsSnapshot(level), level); // no change: nothing kept
    }
    EXPECT_EQ(history.undo_count(), ConstructionHistory::DEPTH);
    while (history.undo(level)) {
    }
    EXPECT_EQ(level.devices.size(), 3u) << "the three oldest changes were forgotten";
    EXPECT_EQ(history.redo_count(), ConstructionHistory::DEPTH);
    while (history.redo(level)) {
    }
    ASSERT_EQ(level.devices.size(), static_cast<size_t>(changes));
    EXPECT_EQ(level.devices.back()->x, (changes - 1) % FLOOR_W);
    EXPECT_TRUE(records().same_parts(PartsSnapshot(level)));
}
