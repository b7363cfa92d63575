// Sprayers: the glue mark on the front block, the cloud's lifetime and gluing
// at the next push anywhere.
#include <gtest/gtest.h>

#include <vector>

#include "device_test_util.h"
#include "sprayer/sprayer.h"

namespace {
int sticky_count(const Level& level) {
    int count = 0;
    for (int x = 0; x < GRID_W; ++x)
        for (int y = 0; y < GRID_H; ++y)
            count += level.sticky[x][y];
    return count;
}
} // namespace

TEST(SprayerGlue, MarksOnlyABlockInFrontButAlwaysShowsTheCloud) {
    Level level;
    DeviceSprayer* sprayer = place<DeviceSprayer>(level, 5, 5, false, DIR_DOWN);
    DeviceSprayer* facing_nothing = place<DeviceSprayer>(level, 9, 5, false, DIR_RIGHT);
    level.add_block(5, 6, 'R');
    sprayer->code_action("spray", 0, &level);
    facing_nothing->code_action("spray", 0, &level);
    EXPECT_EQ(level.sticky[5][6], 1);
    EXPECT_EQ(sticky_count(level), 1) << "an empty front cell gets no mark";
    EXPECT_EQ(facing_nothing->spray_time, 5);
    std::vector<int> times;
    for (int frame = 0; frame < 6; ++frame) {
        level.tick();
        times.push_back(sprayer->spray_time);
    }
    EXPECT_EQ(times, (std::vector<int>{4, 3, 2, 1, 0, 0}));
    sprayer->code_action("paint", 0, &level);
    EXPECT_EQ(sprayer->spray_time, 0) << "other verbs are ignored";
}

TEST(SprayerGlue, MarkGluesAtTheNextPushAnywhere) {
    Level level;
    DeviceSprayer* sprayer = place<DeviceSprayer>(level, 5, 5, false, DIR_DOWN);
    level.add_block(5, 6, 'R');
    level.add_block(6, 6, 'G');
    level.add_block(15, 15, 'U');
    sprayer->code_action("spray", 0, &level);
    level.tick();
    EXPECT_NE(level.groups[5][6], level.groups[6][6]) << "no push, no glue";
    ASSERT_TRUE(level.push_block(15, 15, 1, 0));
    EXPECT_EQ(level.groups[5][6], level.groups[6][6]);
    EXPECT_EQ(sticky_count(level), 0);
}
