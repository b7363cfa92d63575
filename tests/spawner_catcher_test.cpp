// Spawners put blocks down on time; catchers take exactly matching groups.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "level/level.h"

TEST(Spawner, ReplacesTheBlockOnItsCellAndPeriodZeroOrLessNeverFires) {
    Level level;
    level.spawners.push_back(std::make_unique<Spawner>(3, 10, 'R', 1));
    level.spawners.push_back(std::make_unique<Spawner>(1, 1, 'R', 0));
    level.spawners.push_back(std::make_unique<Spawner>(2, 1, 'R', -4));
    level.add_block(3, 10, 'G');
    level.sticky[3][10] = 1;
    level.tick();
    EXPECT_EQ(level.blocks[3][10], 'R');
    EXPECT_EQ(level.groups[3][10], 2);
    EXPECT_EQ(level.sticky[3][10], 0);
    for (int step = 0; step < 10; ++step)
        level.tick();
    EXPECT_FALSE(level.has_block(1, 1));
    EXPECT_FALSE(level.has_block(2, 1));
}

namespace {
struct Cell {
    int x, y;
    unsigned char type;
    int glue; // cells with the same label form one group
};

// A level with a catcher and these blocks on the floor.
struct Scene {
    Level level;
    Catcher* catcher;
    Scene(int w, const char* pattern, const std::vector<Cell>& cells) {
        level.catchers.push_back(std::make_unique<Catcher>(10, 5, w, 1, pattern));
        catcher = level.catchers.back().get();
        std::map<int, int> groups;
        for (const Cell& c : cells) {
            level.add_block(c.x, c.y, c.type);
            groups.emplace(c.glue, level.groups[c.x][c.y]);
            level.groups[c.x][c.y] = groups[c.glue];
        }
    }
    int tick() {
        catcher->tick(&level);
        return catcher->remaining;
    }
};
} // namespace

TEST(Catcher, TakesAGluedPairAnywhereInItsArea) {
    for (int ox = 0; ox < 3; ++ox) {
        for (int oy = 0; oy < 3; ++oy) {
            Scene scene(2, "RR", {{10 + ox, 5 + oy, 'R', 1}, {11 + ox, 5 + oy, 'R', 1}});
            scene.level.sticky[10 + ox][5 + oy] = 1;
            EXPECT_EQ(scene.tick(), 4) << ox << "," << oy;
            EXPECT_FALSE(scene.level.has_block(10 + ox, 5 + oy));
            EXPECT_EQ(scene.level.groups[11 + ox][5 + oy], 0);
            EXPECT_EQ(scene.level.sticky[10 + ox][5 + oy], 0);
        }
    }
}

// Only a group of exactly the pattern's blocks, of the right types, matches;
// cells marked "x" in the pattern are not looked at.
TEST(Catcher, MatchesTheGroupNotTheCells) {
    struct Case {
        const char* what;
        const char* pattern;
        std::vector<Cell> cells;
        int remaining;
    };
    const Case cases[] = {
        {"two loose blocks", "RR", {{10, 5, 'R', 1}, {11, 5, 'R', 2}}, 5},
        {"vertical pair", "RR", {{12, 6, 'R', 1}, {12, 7, 'R', 1}}, 5},
        {"group of three", "RR", {{10, 5, 'R', 1}, {11, 5, 'R', 1}, {12, 5, 'R', 1}}, 5},
        {"wrong type", "RG", {{10, 5, 'R', 1}, {11, 5, 'R', 1}}, 5},
        {"red beside a loose block", "Rx", {{12, 6, 'R', 1}, {13, 6, 'G', 2}}, 4},
        {"red beside a loose block, off the area", "Rx", {{13, 6, 'R', 1}, {14, 6, 'G', 2}}, 5},
        {"red glued to anything", "Rx", {{10, 5, 'R', 1}, {11, 5, 'R', 1}}, 5},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Scene(2, c.pattern, c.cells).tick(), c.remaining) << c.what;
}

TEST(Catcher, TakesSeveralGroupsInOneStepKeepsTakingAtZeroAndLeavesHoldMarks) {
    Scene scene(1, "R", {{10, 5, 'R', 1}, {12, 7, 'R', 2}});
    scene.level.held[10][5] = 1;
    EXPECT_EQ(scene.tick(), 3);
    EXPECT_FALSE(scene.level.has_block(10, 5));
    EXPECT_EQ(scene.level.held[10][5], 1);
    scene.catcher->remaining = 0;
    scene.level.add_block(11, 6, 'R');
    EXPECT_EQ(scene.tick(), 0);
    EXPECT_FALSE(scene.level.has_block(11, 6));
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
