// Reading level files into a level.
#include <gtest/gtest.h>

#include <string>

#include "file_test_util.h"
#include "level/level.h"

TEST(LevelFile, EveryItemKind) {
    GameDir dir;
    dir.write("levels/all.lvl", "Sort the red blocks\n1\n6\n"
                                "spawner, 3, 10, R, 20\n"
                                "catcher, 20, 9, 2, 1, RR\n"
                                "conveyer, 3, 10, 15, 1, 10\n"
                                "converter, 8, 2, Red, G\n"
                                "spawner\t,4,11,\tGx,  5\n"
                                "conveyer, 1, 1, 4, 2, 3\n");
    Level level("all.lvl", 0);
    ASSERT_EQ(level.load_error, "");
    EXPECT_EQ(level.load_problem, LoadProblem::none);
    EXPECT_EQ(level.level_name, "all.lvl");
    EXPECT_FALSE(level.init_code.has_value());
    // A type token gives its first character; belts are fixed, converters the player's.
    EXPECT_EQ(floor_items(level), "spawner 3,10 R/20; spawner 4,11 G/5; catcher 20,9 2x1 RR; "
                                  "b, 3, 10, 0, 15, 1, 10 fixed; a, 8, 2, 0, 82, 71; b, 1, 1, 0, 4, 2, 3 fixed; ");
}

TEST(LevelFile, UnknownKeywordsAndItemCounts) {
    GameDir dir;
    // "spa wner" reads as spawner; "Spawner" is unknown (case matters), so
    // only its x and y are taken and "spawner" after them starts the next item.
    const std::pair<const char*, const char*> cases[] = {
        {"d\n1\n4\nlamp, 1, 2\nSpawner, 5, 5, spawner, 6, 7, G, 2\nspa wner, 8, 9, B, 4\n",
         "spawner 6,7 G/2; spawner 8,9 B/4; "},
        {"Nothing\n1\n0\nspawner, 1, 1, R, 1\n", ""},
        {"More promised\n1\n2000000000\nspawner, 1, 1, R, 1\ncatcher, 5, 5, 1, 1, R",
         "spawner 1,1 R/1; catcher 5,5 1x1 R; "},
    };
    for (const auto& [text, expected] : cases) {
        dir.write("levels/l.lvl", text);
        Level level("l.lvl", 0);
        EXPECT_EQ(level.load_error, "") << text;
        EXPECT_EQ(floor_items(level), expected) << text;
    }
}

TEST(LevelFile, MissingFileOrOverLongNameIsALoadError) {
    GameDir dir;
    Level level("absent.lvl", 0);
    EXPECT_EQ(level.load_error, "Cannot open level file: levels/absent.lvl");
    EXPECT_EQ(level.load_problem, LoadProblem::unreadable);
    std::string name(121, 'n');
    Level too_long(name.c_str(), 0);
    EXPECT_EQ(too_long.load_error, "Level file name too long: " + name);
    dir.write("levels/" + name.substr(1), "d\n1\n0\n");
    Level fits(name.substr(1).c_str(), 0);
    EXPECT_EQ(fits.load_error, "");
}

TEST(LevelFile, NumbersBeyondAnyFloorAreALoadError) {
    GameDir dir;
    // Such a belt would loop two billion times every step.
    dir.write("levels/big.lvl", "d\n1\n2\nspawner, 1, 1, R, 5\nconveyer, 3, 3, 2000000000, 1, 1\n");
    Level level("big.lvl", 0);
    EXPECT_EQ(level.load_error, "Level file levels/big.lvl: item 2 (conveyer) has a number out of range");
    EXPECT_EQ(level.load_problem, LoadProblem::bad_level_file);
    // What the floor cannot show but the game handles stays accepted.
    dir.write("levels/off.lvl", "d\n1\n3\nspawner, -5, 40, R, -1\nconveyer, 20, 3, 30, 1, 0\nlamp, 99999999, 1\n");
    Level off("off.lvl", 0);
    EXPECT_EQ(off.load_error, "");
    EXPECT_EQ(floor_items(off), "spawner -5,40 R/-1; b, 20, 3, 0, 30, 1, 0 fixed; ");
}
