// Reading level files into a level.
#include <gtest/gtest.h>

#include <string>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "file_test_util.h"
#include "level/level.h"

TEST(LevelFile, EveryItemKindInFileOrder) {
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
    EXPECT_FALSE(level.cycle_code.has_value());

    ASSERT_EQ(level.spawners.size(), 2u);
    EXPECT_EQ(level.spawners[0]->x, 3);
    EXPECT_EQ(level.spawners[0]->y, 10);
    EXPECT_EQ(level.spawners[0]->type, 'R');
    EXPECT_EQ(level.spawners[0]->period, 20);
    EXPECT_EQ(level.spawners[1]->type, 'G') << "a type token gives its first character";
    EXPECT_EQ(level.spawners[1]->period, 5);

    ASSERT_EQ(level.catchers.size(), 1u);
    const Catcher& catcher = *level.catchers[0];
    EXPECT_EQ(catcher.x, 20);
    EXPECT_EQ(catcher.y, 9);
    EXPECT_EQ(catcher.width, 2);
    EXPECT_EQ(catcher.height, 1);
    EXPECT_EQ(catcher.pattern, "RR");
    EXPECT_EQ(catcher.remaining, 5);

    ASSERT_EQ(level.devices.size(), 3u);
    auto* belt = dynamic_cast<DeviceConveyer*>(level.devices[0].get());
    ASSERT_NE(belt, nullptr);
    EXPECT_TRUE(belt->fixed);
    EXPECT_EQ(belt->x, 3);
    EXPECT_EQ(belt->y, 10);
    EXPECT_EQ(belt->length, 15);
    EXPECT_EQ(belt->direction, 1);
    EXPECT_EQ(belt->period, 10);
    auto* converter = dynamic_cast<DeviceConverter*>(level.devices[1].get());
    ASSERT_NE(converter, nullptr);
    EXPECT_FALSE(converter->fixed) << "level converters may be moved";
    EXPECT_EQ(converter->x, 8);
    EXPECT_EQ(converter->y, 2);
    EXPECT_EQ(converter->from_type, 'R');
    EXPECT_EQ(converter->to_type, 'G');
    auto* second_belt = dynamic_cast<DeviceConveyer*>(level.devices[2].get());
    ASSERT_NE(second_belt, nullptr);
    EXPECT_EQ(second_belt->direction, 2);
    EXPECT_EQ(level.ticks, 0);
    EXPECT_EQ(level.next_group, 1);
}

TEST(LevelFile, UnknownKeywordsTakeOnlyKeywordXAndY) {
    GameDir dir;
    // "spa wner" reads as spawner; "Spawner" is unknown (case matters), so
    // its x and y are taken and "spawner" after them starts the next item.
    dir.write("levels/u.lvl", "d\n1\n4\nlamp, 1, 2\nSpawner, 5, 5, spawner, 6, 7, G, 2\nspa wner, 8, 9, B, 4\n");
    Level level("u.lvl", 0);
    ASSERT_EQ(level.load_error, "");
    ASSERT_EQ(level.spawners.size(), 2u);
    EXPECT_EQ(level.spawners[0]->x, 6);
    EXPECT_EQ(level.spawners[0]->type, 'G');
    EXPECT_EQ(level.spawners[1]->x, 8);
    EXPECT_EQ(level.spawners[1]->type, 'B');
}

TEST(LevelFile, CountZeroGivesAnEmptyFloor) {
    GameDir dir;
    dir.write("levels/z.lvl", "Nothing\n1\n0\nspawner, 1, 1, R, 1\n");
    Level level("z.lvl", 0);
    EXPECT_EQ(level.load_error, "");
    EXPECT_TRUE(level.spawners.empty());
    EXPECT_TRUE(level.catchers.empty());
    EXPECT_TRUE(level.devices.empty());
}

TEST(LevelFile, CountLargerThanTheItemsStopsAtTheEnd) {
    GameDir dir;
    dir.write("levels/n.lvl", "More promised\n1\n2000000000\nspawner, 1, 1, R, 1\ncatcher, 5, 5, 1, 1, R");
    Level level("n.lvl", 0);
    EXPECT_EQ(level.load_error, "");
    EXPECT_EQ(level.spawners.size(), 1u);
    ASSERT_EQ(level.catchers.size(), 1u);
    EXPECT_EQ(level.catchers[0]->pattern, "R");
    EXPECT_TRUE(level.devices.empty());
}

TEST(LevelFile, WindowsLineEndsReadTheSame) {
    GameDir dir;
    dir.write("levels/w.lvl", "Desc\r\n1\r\n1\r\ncatcher, 5, 5, 2, 1, RG\r\n");
    Level level("w.lvl", 0);
    ASSERT_EQ(level.catchers.size(), 1u);
    EXPECT_EQ(level.catchers[0]->pattern, "RG");
    EXPECT_TRUE(level.catchers[0]->is_valid());
}

TEST(LevelFile, MissingFileIsALoadError) {
    GameDir dir;
    Level level("absent.lvl", 0);
    EXPECT_EQ(level.load_error, "Cannot open level file: levels/absent.lvl");
    EXPECT_EQ(level.load_problem, LoadProblem::unreadable);
    EXPECT_TRUE(level.spawners.empty());
}

TEST(LevelFile, OverLongNameIsALoadError) {
    GameDir dir;
    std::string name(121, 'n');
    Level level(name.c_str(), 0);
    EXPECT_EQ(level.load_error, "Level file name too long: " + name);
    std::string longest(120, 'n');
    dir.write("levels/" + longest, "d\n1\n0\n");
    Level fits(longest.c_str(), 0);
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
    EXPECT_EQ(off.spawners.size(), 1u);
    EXPECT_EQ(off.devices.size(), 1u);
}
