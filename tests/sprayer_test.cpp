// Sprayers: the glue mark on the front block, the cloud's lifetime, gluing at
// the next push anywhere, edges, the Lua table, the record and drawing.
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

TEST(SprayerGlue, MarksTheFrontBlockAndShowsTheCloudForFourFrames) {
    Level level;
    DeviceSprayer* sprayer = place<DeviceSprayer>(level, 5, 5, false, DIR_DOWN);
    level.add_block(5, 6, 'R');
    sprayer->code_action("spray", 0, &level);
    EXPECT_EQ(level.sticky[5][6], 1);
    EXPECT_EQ(sticky_count(level), 1);
    std::vector<int> times;
    for (int frame = 0; frame < 6; ++frame) {
        level.tick();
        times.push_back(sprayer->spray_time);
    }
    EXPECT_EQ(times, (std::vector<int>{4, 3, 2, 1, 0, 0}));
}

TEST(SprayerGlue, EmptyFrontCellGetsNoMarkButTheCloudShows) {
    Level level;
    DeviceSprayer* sprayer = place<DeviceSprayer>(level, 5, 5, false, DIR_RIGHT);
    sprayer->code_action("spray", 0, &level);
    EXPECT_EQ(sprayer->spray_time, 5);
    EXPECT_EQ(sticky_count(level), 0);
}

TEST(SprayerGlue, SprayingAgainRestartsTheCloud) {
    Level level;
    DeviceSprayer* sprayer = place<DeviceSprayer>(level, 5, 5, false, DIR_UP);
    level.add_block(5, 4, 'R');
    sprayer->code_action("spray", 0, &level);
    run_ticks(level, 3);
    sprayer->code_action("spray", 0, &level);
    EXPECT_EQ(sprayer->spray_time, 5);
    EXPECT_EQ(level.sticky[5][4], 1);
    sprayer->code_action("paint", 0, &level);
    EXPECT_EQ(sprayer->spray_time, 5) << "other verbs are ignored";
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
    ASSERT_TRUE(level.push_block(6, 6, 0, 1));
    EXPECT_EQ(level.blocks[5][7], 'R');
    EXPECT_EQ(level.blocks[6][7], 'G');
}

TEST(SprayerEdges, FacingOffTheFloorMarksNothing) {
    Level level;
    // Blocks on every edge cell next to the sprayers.
    level.add_block(0, 4, 'R');
    level.add_block(4, 0, 'R');
    level.add_block(25, 4, 'R');
    level.add_block(4, 21, 'R');
    std::vector<DeviceSprayer*> sprayers = {
        place<DeviceSprayer>(level, 0, 5, false, DIR_LEFT), place<DeviceSprayer>(level, 5, 0, false, DIR_UP),
        place<DeviceSprayer>(level, 25, 5, false, DIR_RIGHT), place<DeviceSprayer>(level, 5, 21, false, DIR_DOWN)};
    for (DeviceSprayer* s : sprayers) {
        s->code_action("spray", 0, &level);
        EXPECT_EQ(s->spray_time, 5);
    }
    EXPECT_EQ(sticky_count(level), 0);
}

TEST(SprayerInterface, FootprintLuaTableNameAndRecord) {
    Level level;
    DeviceSprayer sprayer(9, 3, false, DIR_LEFT);
    EXPECT_TRUE(sprayer.floor_collide(9, 3));
    EXPECT_TRUE(sprayer.block_collide(9, 3));
    EXPECT_FALSE(sprayer.block_collide(8, 3));
    EXPECT_FALSE(sprayer.is_low());
    sprayer.give_name(4);
    EXPECT_STREQ(sprayer.name, "sprayer_4");
    EXPECT_EQ(sprayer.kind, "sprayer");
    EXPECT_EQ(sprayer.get_code_stub(&level), "sprayer_4 = { spray = function () action('sprayer_4','spray',0) end }\n");
    EXPECT_EQ(sprayer.get_save_stub(&level), "g, 9, 3, 4, 3");
}

TEST(SprayerInterface, CopyAndResetDropTheCloud) {
    DeviceSprayer sprayer(9, 3, true, DIR_DOWN);
    sprayer.give_name(4);
    sprayer.spray_time = 3;
    auto made = sprayer.copy();
    auto* twin = dynamic_cast<DeviceSprayer*>(made.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->x, 9);
    EXPECT_EQ(twin->y, 3);
    EXPECT_TRUE(twin->fixed);
    EXPECT_EQ(twin->direction, DIR_DOWN);
    EXPECT_STREQ(twin->name, "");
    EXPECT_EQ(twin->number, 0);
    EXPECT_EQ(twin->spray_time, 0);
    sprayer.reset();
    EXPECT_EQ(sprayer.spray_time, 0);
}

class SprayerDrawing : public testing::Test {
protected:
    static constexpr Rgb BODY{128, 128, 128};
    static constexpr Rgb NOSE{248, 248, 248};
    static constexpr Rgb CLOUD{0, 0, 248};
    ArtDir art;

    void SetUp() override {
        art.picture("sprayer.gif", BODY, {{10, 0, 5, 5, NOSE}});
        art.picture("sprayer_blue.gif", CLOUD, {{0, 0, 5, 5, NOSE}});
    }
};

TEST_F(SprayerDrawing, CloudSitsFadedAndUnturnedInTheFrontCell) {
    const int nose[4][2] = {{12, 2}, {22, 12}, {12, 22}, {2, 12}};
    for (int direction = 0; direction < 4; ++direction) {
        auto sprayer = art.make<DeviceSprayer>(0, 0, false, direction);
        SurfacePtr idle = make_surface(75, 75);
        sprayer->draw_at(idle.get(), 25, 25, false);
        EXPECT_TRUE(pixel_is(idle.get(), 25 + nose[direction][0] + 1, 25 + nose[direction][1] + 1, NOSE))
            << "direction " << direction;
        Step step = direction_step(direction);
        int fx = 25 + 25 * step.dx, fy = 25 + 25 * step.dy;
        EXPECT_TRUE(pixel_is(idle.get(), fx + 12, fy + 12, BLACK)) << "no cloud while idle";

        sprayer->spray_time = 2;
        SurfacePtr spraying = make_surface(75, 75);
        sprayer->draw_at(spraying.get(), 25, 25, false);
        EXPECT_TRUE(pixel_is(spraying.get(), fx + 12, fy + 12, {0, 0, 124}, 12)) << "direction " << direction;
        // Unturned: the cloud's mark stays in its top-left corner.
        EXPECT_TRUE(pixel_is(spraying.get(), fx + 2, fy + 2, {124, 124, 124}, 12)) << "direction " << direction;
        // Nothing in the cell behind the sprayer.
        EXPECT_TRUE(pixel_is(spraying.get(), 25 - 25 * step.dx + 12, 25 - 25 * step.dy + 12, BLACK));
    }
}
