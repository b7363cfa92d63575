// Grabbers: even-tick claw motion, grab and release with the hold mark,
// carrying groups, claws off the floor and drawing.
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
    const struct {
        int y, length, target, expected;
    } cases[] = {{2, 5, 99, 4}, {2, 5, -3, 0}, {2, 0, 5, 0}, {2, -4, 5, 0}, {20, 6, 5, 5}};
    for (const auto& c : cases) {
        Level level;
        DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, c.y, false, c.length, true);
        grabber->code_action("move_to", c.target, &level);
        grabber->code_action("grab", 0, &level);
        run_ticks(level, 30);
        EXPECT_EQ(grabber->position, c.expected) << "length " << c.length << ", target " << c.target;
    }
}

TEST(GrabberHold, GrabCarryAndRelease) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    grabber->code_action("grab", 0, &level);
    EXPECT_FALSE(grabber->holding) << "nothing in the claw cell";
    level.add_block(9, 2, 'R');
    level.add_block(8, 2, 'G');
    level.groups[8][2] = level.groups[9][2];
    level.set_held(9, 2, 1); // as if another claw held it
    grabber->code_action("release", 0, &level);
    EXPECT_EQ(level.held[9][2], 1) << "an open claw releases nothing";
    level.set_held(9, 2, 0);
    grabber->code_action("grab", 0, &level);
    EXPECT_TRUE(grabber->holding);
    // Carried down three rows and back up one, the hold follows the claw.
    grabber->code_action("move_to", 3, &level);
    run_ticks(level, 6);
    grabber->code_action("move_to", 2, &level);
    run_ticks(level, 2);
    EXPECT_EQ(grabber->position, 2);
    EXPECT_EQ(level.blocks[9][4], 'R');
    EXPECT_EQ(level.blocks[8][4], 'G');
    EXPECT_EQ(level.held[9][4], 1);
    EXPECT_EQ(held_count(level), 1);
    // Held, it resists a belt and a pusher until released.
    place<DeviceConveyer>(level, 2, 4, false, 8, DIR_LEFT, 1);
    DevicePusher* pusher = place<DevicePusher>(level, 9, 5, false, DIR_UP);
    pusher->code_action("on", 0, &level);
    run_ticks(level, 3);
    EXPECT_EQ(level.blocks[9][4], 'R');
    EXPECT_FALSE(pusher->extended);
    grabber->code_action("release", 0, &level);
    EXPECT_FALSE(grabber->holding);
    EXPECT_EQ(held_count(level), 0);
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

// Claws in column -1 (left of the floor) and column 26 (the extra column)
// have nothing to close on, but still move.
TEST(GrabberEdges, ClawsBeyondTheFloorNeverGrab) {
    Level level;
    DeviceGrabber* left = place<DeviceGrabber>(level, 0, 2, false, 10, true);
    DeviceGrabber* right = place<DeviceGrabber>(level, 25, 2, false, 10, false);
    for (DeviceGrabber* grabber : {left, right}) {
        grabber->code_action("grab", 0, &level);
        EXPECT_FALSE(grabber->holding);
        grabber->code_action("move_to", 4, &level);
        grabber->code_action("release", 0, &level);
    }
    run_ticks(level, 10);
    EXPECT_EQ(left->position, 4);
    EXPECT_EQ(right->position, 4);
    EXPECT_EQ(held_count(level), 0);
}

// Track pictures in three colours with a light mark in their top-left corner
// (so a half turn shows), claws with a mark on their left edge.
TEST(GrabberDrawing, TheClawSideDecidesTheTurnOfTheWholeStrip) {
    const Rgb top{128, 0, 0}, middle{0, 128, 0}, bottom{0, 0, 128}, open{128, 128, 0}, closed{0, 128, 128};
    const Rgb mark{248, 248, 248};
    ArtDir art;
    art.picture("grabber_top.gif", top, {{0, 0, 5, 5, mark}});
    art.picture("grabber_mid.gif", middle, {{0, 0, 5, 5, mark}});
    art.picture("grabber_bot.gif", bottom, {{0, 0, 5, 5, mark}});
    art.picture("grabber_claw.gif", open, {{0, 10, 5, 5, mark}});
    art.picture("grabber_claw_x.gif", closed, {{0, 10, 5, 5, mark}});

    // Claw on the left: drawn as it is, the claw at row 2 of the column left.
    auto left = art.make<DeviceGrabber>(0, 0, false, 4, true);
    left->position = 2;
    SurfacePtr surface = make_surface(100, 150);
    left->draw_at(surface.get(), 25, 25, false);
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 25 + 12, top));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 100 + 12, bottom));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 2, 100 + 2, mark));
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 12, 75 + 20, open));
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 2, 75 + 12, mark));
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 12, 50 + 12, BLACK));
    left->holding = true;
    left->draw_at(surface.get(), 25, 25, false);
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 12, 75 + 20, closed));

    // Claw on the right: the bottom picture heads the track, each piece
    // turned half a turn, so its corner mark lands bottom right.
    auto right = art.make<DeviceGrabber>(0, 0, false, 4, false);
    right->position = 1;
    surface = make_surface(100, 150);
    right->draw_at(surface.get(), 25, 25, false);
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 25 + 12, bottom));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 23, 25 + 23, mark));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 100 + 12, top));
    EXPECT_TRUE(pixel_is(surface.get(), 50 + 12, 50 + 5, open));
    EXPECT_TRUE(pixel_is(surface.get(), 50 + 23, 50 + 13, mark));
    EXPECT_TRUE(pixel_is(surface.get(), 0 + 12, 50 + 12, BLACK)) << "nothing on the left";
}
