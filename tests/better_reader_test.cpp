// Token and line reading of level and save files.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "file_test_util.h"
#include "files/better_reader.h"

TEST(BetterReader, TokensEndAtCommasAndLineEndsWithBlanksDropped) {
    GameDir dir;
    dir.write("t", "spawner, 3\nR\n con\tvey er ,\t 1 2 ,R R\na,,b\n\nc");
    BetterReader reader("t");
    std::vector<std::string> tokens;
    while (!reader.at_end())
        tokens.push_back(reader.get_string());
    EXPECT_EQ(tokens, (std::vector<std::string>{"spawner", "3", "R", "conveyer", "12", "RR", "a", "", "b", "", "c"}));
}

TEST(BetterReader, NumbersFollowAtoiAndStayInRange) {
    GameDir dir;
    dir.write("t", "-12abc,+7,x9,,99999999999,-99999999999, - 4\n");
    BetterReader reader("t");
    for (int expected : {-12, 7, 0, 0, INT_MAX, INT_MIN, -4})
        EXPECT_EQ(reader.get_int(), expected);
}

TEST(BetterReader, EndOfFileGivesEmptyTextsAndNeverBlocks) {
    GameDir dir;
    dir.write("t", "last");
    BetterReader reader("t");
    EXPECT_EQ(reader.get_string(), "last") << "the end of the file ends a token";
    EXPECT_TRUE(reader.at_end());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(reader.get_string(), "");
        EXPECT_EQ(reader.get_int(), 0);
        EXPECT_EQ(reader.get_line(), "");
    }
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

TEST(BetterReader, LinesKeepCommasAndBlanksButNotTheCarriageReturnAtTheirEnd) {
    GameDir dir;
    dir.write("t", "Sort the  red, blocks\r\nRR\r\n12\r\n\nmid\rdle\r\ntwo\r\r\nin\r\rside\nlast\r");
    BetterReader reader("t");
    EXPECT_EQ(reader.get_line(), "Sort the  red, blocks");
    EXPECT_EQ(reader.get_string(), "RR");
    EXPECT_EQ(reader.get_int(), 12);
    EXPECT_EQ(reader.get_line(), "");
    EXPECT_EQ(reader.get_line(), "mid\rdle") << "a CR inside a line is kept";
    EXPECT_EQ(reader.get_line(), "two");
    EXPECT_EQ(reader.get_whole_line(), "in\r\rside");
    EXPECT_EQ(reader.get_line(), "last");
    EXPECT_TRUE(reader.at_end());
}
