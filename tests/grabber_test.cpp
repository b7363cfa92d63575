// Grabbers: even-tick claw motion, grab and release with the hold mark,
// carrying groups, edges, the Lua table, the record and drawing.
#include <gtest/gtest.h>

#include <vector>

#include "conveyer/conveyer.h"
#include "device_test_util.h"
#include "grabber/grabber.h"
#include "pusher/pusher.h"
#include "test_device.h"

namespace {
int held_count(const Level& level) {
    int count = 0;
    for (int x = 0; x < GRID_W; ++x)
        for (int y = 0; y < GRID_H; ++y)
            count += level.held[x][y];
    return count;
}
} // namespace

TEST(GrabberMotion, ClawMovesOneRowOnEvenTicksOnly) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    grabber->code_action("move_to", 3, &level);
    std::vector<int> positions;
    for (int t = 1; t <= 8; ++t) {
        level.tick();
        positions.push_back(grabber->position);
    }
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 3}));
    grabber->code_action("move_to", 1, &level);
    run_ticks(level, 4);
    EXPECT_EQ(grabber->position, 1);
}

TEST(GrabberMotion, TargetsBeyondTheTrackStopAtItsEnds) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, false, 5, true);
    grabber->code_action("move_to", 99, &level);
    run_ticks(level, 30);
    EXPECT_EQ(grabber->position, 4);
    grabber->code_action("move_to", -3, &level);
    run_ticks(level, 30);
    EXPECT_EQ(grabber->position, 0);
}

TEST(GrabberHold, GrabAndReleaseRules) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    grabber->code_action("grab", 0, &level);
    EXPECT_FALSE(grabber->holding) << "nothing in the claw cell";
    level.add_block(9, 2, 'R');
    grabber->code_action("release", 0, &level);
    EXPECT_EQ(level.held[9][2], 0);
    grabber->code_action("grab", 0, &level);
    EXPECT_TRUE(grabber->holding);
    EXPECT_EQ(level.held[9][2], 1);
    EXPECT_EQ(held_count(level), 1);
    grabber->code_action("release", 0, &level);
    EXPECT_FALSE(grabber->holding);
    EXPECT_EQ(held_count(level), 0);
}

TEST(GrabberHold, ReleaseWhileOpenLeavesOtherHoldsAlone) {
    Level level;
    DeviceGrabber* open = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    level.add_block(9, 2, 'R');
    level.set_held(9, 2, 1); // another claw holds it
    open->code_action("release", 0, &level);
    EXPECT_EQ(level.held[9][2], 1);
}

TEST(GrabberCarry, CarriesTheGroupAndMovesTheHoldAlong) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    level.add_block(9, 2, 'R');
    level.add_block(8, 2, 'G');
    level.groups[8][2] = level.groups[9][2];
    grabber->code_action("grab", 0, &level);
    grabber->code_action("move_to", 3, &level);
    run_ticks(level, 6);
    EXPECT_EQ(grabber->position, 3);
    EXPECT_EQ(level.blocks[9][5], 'R');
    EXPECT_EQ(level.blocks[8][5], 'G');
    EXPECT_EQ(level.held[9][5], 1);
    EXPECT_EQ(held_count(level), 1);
    grabber->code_action("move_to", 1, &level);
    run_ticks(level, 4);
    EXPECT_EQ(level.blocks[9][3], 'R');
    EXPECT_EQ(level.held[9][3], 1);
    EXPECT_EQ(held_count(level), 1);
}

TEST(GrabberCarry, CarriedBlockStaysHeldAgainstBeltsAndPushersUntilReleased) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    level.add_block(9, 2, 'R');
    grabber->code_action("grab", 0, &level);
    grabber->code_action("move_to", 2, &level);
    run_ticks(level, 4);
    ASSERT_EQ(level.blocks[9][4], 'R');
    place<DeviceConveyer>(level, 2, 4, false, 8, DIR_LEFT, 1);
    DevicePusher* pusher = place<DevicePusher>(level, 9, 5, false, DIR_UP);
    pusher->code_action("on", 0, &level);
    run_ticks(level, 3);
    EXPECT_EQ(level.blocks[9][4], 'R');
    EXPECT_FALSE(pusher->extended);
    grabber->code_action("release", 0, &level);
    level.tick();
    EXPECT_FALSE(level.has_block(9, 4));
}

TEST(GrabberCarry, CarryingDownShovesTheChainOrWaits) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    level.add_block(9, 2, 'R');
    level.add_block(9, 4, 'G');
    TestDevice* wall = add_test_device(level, 9, 5);
    wall->solid.insert({9, 5});
    grabber->code_action("grab", 0, &level);
    grabber->code_action("move_to", 5, &level);
    run_ticks(level, 6);
    EXPECT_EQ(grabber->position, 1) << "the chain is blocked from tick 4 on";
    EXPECT_EQ(level.blocks[9][3], 'R');
    EXPECT_EQ(level.blocks[9][4], 'G');
    EXPECT_EQ(level.held[9][3], 1) << "the hold is back on the claw cell";
    wall->solid.clear();
    run_ticks(level, 2);
    EXPECT_EQ(grabber->position, 2);
    EXPECT_EQ(level.blocks[9][4], 'R');
    EXPECT_EQ(level.blocks[9][5], 'G');
}

TEST(GrabberCarry, HeldGroupResistsAnotherGrabber) {
    Level level;
    DeviceGrabber* holder = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    DeviceGrabber* other = place<DeviceGrabber>(level, 8, 3, false, 10, false);
    // One group of two blocks; each claw closes on one of them.
    level.add_block(9, 2, 'R');
    level.add_block(9, 3, 'G');
    level.groups[9][3] = level.groups[9][2];
    holder->code_action("grab", 0, &level);
    other->code_action("grab", 0, &level);
    other->code_action("move_to", 3, &level);
    run_ticks(level, 6);
    EXPECT_EQ(other->position, 0);
    EXPECT_EQ(level.blocks[9][2], 'R');
    EXPECT_EQ(level.held[9][3], 1);
    holder->code_action("release", 0, &level);
    run_ticks(level, 2);
    EXPECT_EQ(other->position, 1);
    EXPECT_EQ(level.blocks[9][4], 'G');
}

TEST(GrabberCarry, TwoClawsOnOneBlockWaitForEachOther) {
    Level level;
    DeviceGrabber* left = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    DeviceGrabber* right = place<DeviceGrabber>(level, 8, 2, false, 10, false);
    level.add_block(9, 2, 'R');
    left->code_action("grab", 0, &level);
    right->code_action("grab", 0, &level);
    right->code_action("move_to", 3, &level);
    run_ticks(level, 6);
    EXPECT_EQ(right->position, 0);
    EXPECT_EQ(level.blocks[9][2], 'R');
    EXPECT_EQ(level.held[9][2], 1);
    left->code_action("release", 0, &level);
    EXPECT_EQ(level.held[9][2], 1) << "still held by the other claw";
    EXPECT_FALSE(level.push_block(9, 2, -1, 0));
    run_ticks(level, 2);
    EXPECT_EQ(right->position, 1) << "now the other claw carries it";
    EXPECT_EQ(level.blocks[9][3], 'R');
    right->code_action("release", 0, &level);
    EXPECT_EQ(level.held[9][3], 0);
}

TEST(GrabberEdges, ClawInColumnMinusOneNeverGrabs) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 0, 2, false, 10, true);
    level.add_block(0, 1, 'R');
    grabber->code_action("grab", 0, &level);
    EXPECT_FALSE(grabber->holding);
    grabber->code_action("move_to", 4, &level);
    grabber->code_action("release", 0, &level);
    run_ticks(level, 10);
    EXPECT_EQ(grabber->position, 4);
    EXPECT_EQ(held_count(level), 0);
}

TEST(GrabberEdges, ClawInTheExtraColumnNeverGrabs) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 25, 2, false, 10, false);
    grabber->code_action("grab", 0, &level);
    EXPECT_FALSE(grabber->holding);
}

TEST(GrabberEdges, TrackBelowTheFloorAndNonPositiveLengthsAreSafe) {
    Level level;
    DeviceGrabber* low = place<DeviceGrabber>(level, 5, 20, false, 6, true);
    DeviceGrabber* empty = place<DeviceGrabber>(level, 7, 2, false, 0, true);
    DeviceGrabber* negative = place<DeviceGrabber>(level, 9, 2, false, -4, false);
    for (DeviceGrabber* g : {low, empty, negative}) {
        g->code_action("move_to", 5, &level);
        g->code_action("grab", 0, &level);
    }
    run_ticks(level, 12);
    EXPECT_EQ(low->position, 5);
    EXPECT_EQ(empty->position, 0);
    EXPECT_EQ(negative->position, 0);
    EXPECT_FALSE(empty->floor_collide(7, 2));
    EXPECT_FALSE(negative->floor_collide(9, 2));
    SurfacePtr surface = make_surface(300, 300);
    for (DeviceGrabber* g : {low, empty, negative})
        g->draw_at(surface.get(), 100, 100, true);
}

TEST(GrabberInterface, FootprintIsTheTrackNotTheClawColumn) {
    DeviceGrabber grabber(10, 2, false, 18, true);
    EXPECT_TRUE(grabber.floor_collide(10, 2));
    EXPECT_TRUE(grabber.floor_collide(10, 19));
    EXPECT_FALSE(grabber.floor_collide(10, 20));
    EXPECT_FALSE(grabber.floor_collide(10, 1));
    EXPECT_FALSE(grabber.floor_collide(9, 2));
    EXPECT_TRUE(grabber.block_collide(10, 19));
    EXPECT_FALSE(grabber.block_collide(9, 5));
    EXPECT_FALSE(grabber.is_low());
}

TEST(GrabberInterface, LuaTableReadsThePositionOfItsAssembly) {
    Level level;
    DeviceGrabber grabber(10, 2, false, 18, true);
    grabber.give_name(0);
    EXPECT_STREQ(grabber.name, "grabber_0");
    EXPECT_EQ(grabber.kind, "grabber");
    EXPECT_EQ(grabber.get_code_stub(&level),
              "grabber_0 = { grab = function () action('grabber_0','grab',0) end, release = function () "
              "action('grabber_0','release',0) end, move_to = function (x) action('grabber_0','move_to',x) end, "
              "read = function () return 0 end }\n");
    grabber.position = 7;
    EXPECT_NE(grabber.get_code_stub(&level).find("read = function () return 7 end"), std::string::npos);
}

TEST(GrabberInterface, RecordsBothClawSides) {
    Level level;
    DeviceGrabber left(4, 2, false, 18, true);
    DeviceGrabber right(6, 3, false, 18, false);
    left.give_name(1);
    right.give_name(12);
    EXPECT_EQ(left.get_save_stub(&level), "c, 4, 2, 1, 18, 1");
    EXPECT_EQ(right.get_save_stub(&level), "c, 6, 3, 12, 18, 0");
}

TEST(GrabberInterface, CopyAndResetDropTheRunState) {
    Level level;
    DeviceGrabber grabber(4, 2, true, 12, false);
    grabber.give_name(3);
    grabber.position = 5;
    grabber.target = 8;
    grabber.holding = true;
    auto made = grabber.copy();
    auto* twin = dynamic_cast<DeviceGrabber*>(made.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->x, 4);
    EXPECT_EQ(twin->y, 2);
    EXPECT_TRUE(twin->fixed);
    EXPECT_EQ(twin->length, 12);
    EXPECT_FALSE(twin->faces_left);
    EXPECT_STREQ(twin->name, "");
    EXPECT_EQ(twin->number, 0);
    EXPECT_EQ(twin->position, 0);
    EXPECT_EQ(twin->target, 0);
    EXPECT_FALSE(twin->holding);
    grabber.reset();
    EXPECT_EQ(grabber.position, 0);
    EXPECT_EQ(grabber.target, 0);
    EXPECT_FALSE(grabber.holding);
}

// Track pictures in three colours with a light mark in their top-left corner
// (so a half turn shows), claws with a mark on their left edge.
class GrabberDrawing : public testing::Test {
protected:
    static constexpr Rgb TOP{128, 0, 0};
    static constexpr Rgb MIDDLE{0, 128, 0};
    static constexpr Rgb BOTTOM{0, 0, 128};
    static constexpr Rgb OPEN{128, 128, 0};
    static constexpr Rgb CLOSED{0, 128, 128};
    static constexpr Rgb MARK{248, 248, 248};
    ArtDir art;

    void SetUp() override {
        art.picture("grabber_top.gif", TOP, {{0, 0, 5, 5, MARK}});
        art.picture("grabber_mid.gif", MIDDLE, {{0, 0, 5, 5, MARK}});
        art.picture("grabber_bot.gif", BOTTOM, {{0, 0, 5, 5, MARK}});
        art.picture("grabber_claw.gif", OPEN, {{0, 10, 5, 5, MARK}});
        art.picture("grabber_claw_x.gif", CLOSED, {{0, 10, 5, 5, MARK}});
    }

    std::unique_ptr<DeviceGrabber> make(bool faces_left) { return art.make<DeviceGrabber>(0, 0, false, 4, faces_left); }
};

TEST_F(GrabberDrawing, ClawOnTheLeftIsDrawnAsItIs) {
    auto grabber = make(true);
    grabber->position = 2;
    SurfacePtr surface = make_surface(100, 150);
    grabber->draw_at(surface.get(), 25, 25, false);
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 25 + 12, TOP));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 50 + 12, MIDDLE));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 75 + 12, MIDDLE));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 100 + 12, BOTTOM));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 2, 100 + 2, MARK));
    // Open claw in the column to the left, at row 2.
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 12, 75 + 20, OPEN));
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 2, 75 + 12, MARK));
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 12, 50 + 12, BLACK));
    grabber->holding = true;
    grabber->draw_at(surface.get(), 25, 25, false);
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 12, 75 + 20, CLOSED));
}

TEST_F(GrabberDrawing, ClawOnTheRightTurnsTheWholeStrip) {
    auto grabber = make(false);
    grabber->position = 1;
    SurfacePtr surface = make_surface(100, 150);
    grabber->draw_at(surface.get(), 25, 25, false);
    // The bottom picture heads the track, each piece turned half a turn, so
    // its corner mark lands bottom right.
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 25 + 12, BOTTOM));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 23, 25 + 23, MARK));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 50 + 12, MIDDLE));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 100 + 12, TOP));
    // Claw in the column to the right, its mark on its right edge.
    EXPECT_TRUE(pixel_is(surface.get(), 50 + 12, 50 + 5, OPEN));
    EXPECT_TRUE(pixel_is(surface.get(), 50 + 23, 50 + 13, MARK));
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 12, 50 + 12, BLACK)) << "nothing on the left";
}
