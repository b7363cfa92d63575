// Token and line reading of level and save files.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "file_test_util.h"
#include "toolkit/better_reader.h"

namespace {
// Reads every token of a file until its end.
std::vector<std::string> all_tokens(const char* path) {
    BetterReader reader(path);
    std::vector<std::string> tokens;
    while (!reader.at_end())
        tokens.push_back(reader.get_string());
    return tokens;
}
} // namespace

TEST(BetterReader, CommasAndLineEndsBothSeparateTokens) {
    GameDir dir;
    dir.write("t", "spawner, 3, 10, R, 20\nspawner\n3\n10\nR\n20\n");
    EXPECT_EQ(all_tokens("t"),
              (std::vector<std::string>{"spawner", "3", "10", "R", "20", "spawner", "3", "10", "R", "20"}));
}

TEST(BetterReader, SpacesAndTabsInsideTokensAreDropped) {
    GameDir dir;
    dir.write("t", " con\tvey er ,\t 1 2 ,R R\n");
    BetterReader reader("t");
    EXPECT_EQ(reader.get_string(), "conveyer");
    EXPECT_EQ(reader.get_int(), 12);
    EXPECT_EQ(reader.get_string(), "RR");
}

TEST(BetterReader, EmptyTokensFromDoubleCommasAndEmptyLines) {
    GameDir dir;
    dir.write("t", "a,,b\n\nc");
    EXPECT_EQ(all_tokens("t"), (std::vector<std::string>{"a", "", "b", "", "c"}));
    BetterReader reader("t");
    reader.get_string();
    EXPECT_EQ(reader.get_int(), 0) << "an empty token is 0";
}

TEST(BetterReader, NumbersFollowAtoiAndStayInRange) {
    GameDir dir;
    dir.write("t", "-12abc,+7,x9,99999999999,-99999999999, - 4\n");
    BetterReader reader("t");
    EXPECT_EQ(reader.get_int(), -12);
    EXPECT_EQ(reader.get_int(), 7);
    EXPECT_EQ(reader.get_int(), 0);
    EXPECT_EQ(reader.get_int(), INT_MAX);
    EXPECT_EQ(reader.get_int(), INT_MIN);
    EXPECT_EQ(reader.get_int(), -4) << "blanks between sign and digits are dropped with the rest";
}

TEST(BetterReader, EndOfFileGivesEmptyTextsAndNeverBlocks) {
    GameDir dir;
    dir.write("t", "last");
    BetterReader reader("t");
    EXPECT_FALSE(reader.at_end());
    EXPECT_EQ(reader.get_string(), "last") << "the end of the file ends a token";
    EXPECT_TRUE(reader.at_end());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reader.get_string(), "");
        EXPECT_EQ(reader.get_int(), 0);
        EXPECT_EQ(reader.get_line(), "");
    }
}

TEST(BetterReader, MissingFilesFoldersAndDevicesReadAsEmpty) {
    GameDir dir;
    // /dev/zero would give one endless line.
    for (const char* path : {"no-such-file", "levels", "/dev/zero"}) {
        BetterReader reader(path);
        EXPECT_FALSE(reader.is_open()) << path;
        EXPECT_TRUE(reader.at_end());
        EXPECT_EQ(reader.get_line(), "");
        EXPECT_EQ(reader.get_string(), "");
        EXPECT_EQ(reader.get_int(), 0);
    }
}

TEST(BetterReader, LinesKeepCommasAndBlanks) {
    GameDir dir;
    dir.write("t", "Sort the  red, blocks\n2\n\nend");
    BetterReader reader("t");
    EXPECT_EQ(reader.get_line(), "Sort the  red, blocks");
    EXPECT_EQ(reader.get_int(), 2);
    EXPECT_EQ(reader.get_line(), "");
    EXPECT_EQ(reader.get_line(), "end");
    EXPECT_EQ(reader.get_line(), "");
}

TEST(BetterReader, OverLongLinesAndTokensAreCutAndTheRestSkipped) {
    GameDir dir;
    std::string long_text(5000, 'a');
    dir.write("t", long_text + "\nnext\n" + long_text + ",7\n" + long_text + "\n");
    BetterReader reader("t");
    EXPECT_EQ(reader.get_line(), std::string(BetterReader::TEXT_MAX, 'a'));
    EXPECT_EQ(reader.get_line(), "next");
    EXPECT_EQ(reader.get_string(), std::string(BetterReader::TEXT_MAX, 'a'));
    EXPECT_EQ(reader.get_int(), 7);
    EXPECT_EQ(reader.get_whole_line(), long_text) << "program rows are kept whole";
    EXPECT_TRUE(reader.at_end());
}

TEST(BetterReader, CarriageReturnsAtLineEndsAreDropped) {
    GameDir dir;
    dir.write("t", "first line\r\nRR\r\n12\r\nmid\rdle\r\ntwo\r\r\nin\r\rside\nlast\r");
    BetterReader reader("t");
    EXPECT_EQ(reader.get_line(), "first line");
    EXPECT_EQ(reader.get_string(), "RR");
    EXPECT_EQ(reader.get_int(), 12);
    EXPECT_EQ(reader.get_line(), "mid\rdle") << "a CR inside a line is kept";
    EXPECT_EQ(reader.get_line(), "two");
    EXPECT_FALSE(reader.at_end());
    EXPECT_EQ(reader.get_whole_line(), "in\r\rside");
    EXPECT_EQ(reader.get_line(), "last");
    EXPECT_TRUE(reader.at_end());
}
