// The level list: which levels are shown, in which order, with which rows.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "main/level_list.h"

namespace fs = std::filesystem;

namespace {
class LevelListTest : public testing::Test {
protected:
    void SetUp() override {
        previous_ = fs::current_path();
        root_ = fs::temp_directory_path() / ("gearloft-list-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "levels");
        fs::current_path(root_);
    }
    void TearDown() override {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }
    static void level(const std::string& name, const std::string& text) {
        std::ofstream(fs::path("levels") / name, std::ios::binary) << text;
    }

    fs::path previous_;
    fs::path root_;
};
} // namespace

TEST_F(LevelListTest, ReadsDescriptionAndDifficulty) {
    level("a.lvl", "Sort the red blocks\r\n 3 stars\r\n0\r\n");
    EXPECT_EQ(get_level_desc_from_file("a.lvl"), "Sort the red blocks");
    EXPECT_EQ(get_level_difficulty_from_file("a.lvl"), 3);
    EXPECT_EQ(get_level_desc_from_file("missing.lvl"), "");
    EXPECT_EQ(get_level_difficulty_from_file("missing.lvl"), 0);
    level("long.lvl", std::string(400, 'd') + "\n1\n");
    EXPECT_EQ(get_level_desc_from_file("long.lvl").size(), 255u);
}

TEST_F(LevelListTest, ShowsLevelsByDifficultyThenFileName) {
    level("b.lvl", "two\n2\n0\n");
    level("a.lvl", "one\n1\n0\n");
    level("c.lvl", "also two\n2\n0\n");
    level("zero.lvl", "zero\n0\n0\n");
    level("ten.lvl", "ten\n10\n0\n");
    level("none.lvl", "none\nhard\n0\n");
    level("empty.lvl", "");
    level("notes.txt", "x\n1\n");
    fs::create_directories("levels/folder.lvl");
    EXPECT_EQ(order_by_difficulty(find_levels()), (std::vector<std::string>{"a.lvl", "b.lvl", "c.lvl"}));
}

TEST_F(LevelListTest, MissingLevelsFolderGivesAnEmptyList) {
    fs::remove_all("levels");
    EXPECT_TRUE(find_levels().empty());
}

TEST(LevelRows, StarsArePaddedToNine) {
    EXPECT_EQ(level_row_text(1, "one"), "[*        ] one");
    EXPECT_EQ(level_row_text(3, "Sort"), "[***      ] Sort");
    EXPECT_EQ(level_row_text(9, "hard"), "[*********] hard");
    EXPECT_EQ(level_row_text(5, std::string(300, 'x')).size(), 255u);
}

TEST(LevelRows, PressesPickRowsOfTwentyPixelsFromOneHundred) {
    EXPECT_EQ(level_row_at(99, 3), -1);
    EXPECT_EQ(level_row_at(100, 3), 0);
    EXPECT_EQ(level_row_at(159, 3), 2);
    EXPECT_EQ(level_row_at(160, 3), -1);
    EXPECT_TRUE(load_button_hit(700, 560));
    EXPECT_TRUE(load_button_hit(665, 550));
    EXPECT_TRUE(load_button_hit(726, 576));
    EXPECT_FALSE(load_button_hit(727, 560));
    EXPECT_FALSE(load_button_hit(700, 549));
}
