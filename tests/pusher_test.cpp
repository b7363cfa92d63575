// Pushers: the retract-then-extend rod, gating, retries, edges, the Lua
// table, the record and drawing.
#include <gtest/gtest.h>

#include "conveyer/conveyer.h"
#include "device_test_util.h"
#include "pusher/pusher.h"
#include "test_device.h"

TEST(PusherRod, ExtendsOnAnEmptyFrontCellAndGatesABelt) {
    Level level;
    place<DeviceConveyer>(level, 2, 4, false, 8, DIR_RIGHT, 5);
    DevicePusher* gate = place<DevicePusher>(level, 6, 3, false, DIR_DOWN);
    level.add_block(4, 4, 'R');
    gate->code_action("on", 0, &level);
    level.tick();
    EXPECT_TRUE(gate->extended);
    EXPECT_TRUE(gate->block_collide(6, 4));
    run_ticks(level, 9); // belt steps at 5 and 10
    EXPECT_EQ(level.blocks[5][4], 'R') << "the rod stops the block before the front cell";
    gate->code_action("off", 0, &level);
    level.tick();
    EXPECT_FALSE(gate->extended);
    EXPECT_FALSE(gate->block_collide(6, 4));
    run_ticks(level, 4); // belt step at 15
    EXPECT_EQ(level.blocks[6][4], 'R');
}

TEST(PusherRod, PushesOnceAndKeepsTheRodOut) {
    Level level;
    DevicePusher* pusher = place<DevicePusher>(level, 6, 3, false, DIR_RIGHT);
    level.add_block(7, 3, 'R');
    pusher->code_action("on", 0, &level);
    level.tick();
    EXPECT_TRUE(pusher->extended);
    EXPECT_EQ(level.blocks[8][3], 'R');
    run_ticks(level, 3);
    EXPECT_EQ(level.blocks[8][3], 'R') << "an extended rod pushes nothing more";
    EXPECT_FALSE(level.push_block(8, 3, -1, 0)) << "the rod is solid";
}

TEST(PusherRod, BlockedPusherRetriesEveryTick) {
    Level level;
    DevicePusher* pusher = place<DevicePusher>(level, 6, 3, false, DIR_RIGHT);
    TestDevice* wall = add_test_device(level, 8, 3);
    wall->solid.insert({8, 3});
    level.add_block(7, 3, 'R');
    pusher->code_action("on", 0, &level);
    run_ticks(level, 3);
    EXPECT_FALSE(pusher->extended);
    EXPECT_EQ(level.blocks[7][3], 'R');
    wall->solid.clear();
    level.tick();
    EXPECT_TRUE(pusher->extended);
    EXPECT_EQ(level.blocks[8][3], 'R');
}

TEST(PusherRod, GluedGroupMovesWholeOrNotAtAll) {
    Level level;
    DevicePusher* pusher = place<DevicePusher>(level, 6, 3, false, DIR_RIGHT);
    TestDevice* wall = add_test_device(level, 8, 4);
    wall->solid.insert({8, 4});
    level.add_block(7, 3, 'R');
    level.add_block(7, 4, 'G');
    level.groups[7][4] = level.groups[7][3];
    pusher->code_action("on", 0, &level);
    level.tick();
    EXPECT_FALSE(pusher->extended);
    EXPECT_EQ(level.blocks[7][3], 'R');
    EXPECT_EQ(level.blocks[7][4], 'G');
}

TEST(PusherRod, OffRetractsNextTickWithoutPullingBack) {
    Level level;
    DevicePusher* pusher = place<DevicePusher>(level, 6, 3, false, DIR_RIGHT);
    level.add_block(7, 3, 'R');
    pusher->code_action("on", 0, &level);
    level.tick();
    pusher->code_action("off", 0, &level);
    level.tick();
    EXPECT_FALSE(pusher->extended);
    EXPECT_EQ(level.blocks[8][3], 'R');
    EXPECT_FALSE(level.has_block(7, 3));
}

TEST(PusherRod, OffAndOnInOneFramePushesNothingMore) {
    Level level;
    DevicePusher* pusher = place<DevicePusher>(level, 6, 3, false, DIR_RIGHT);
    pusher->code_action("on", 0, &level);
    level.tick();
    ASSERT_TRUE(pusher->extended);
    // Something appears in the front cell (say a spawner below the rod).
    level.add_block(7, 3, 'R');
    pusher->code_action("off", 0, &level);
    pusher->code_action("on", 0, &level);
    level.tick();
    EXPECT_TRUE(pusher->extended);
    EXPECT_EQ(level.blocks[7][3], 'R');
    // Off for one whole tick, then on again: it pushes.
    pusher->code_action("off", 0, &level);
    level.tick();
    pusher->code_action("on", 0, &level);
    level.tick();
    EXPECT_EQ(level.blocks[8][3], 'R');
}

TEST(PusherRod, HeldBlockIsNotPushed) {
    Level level;
    DevicePusher* pusher = place<DevicePusher>(level, 6, 3, false, DIR_RIGHT);
    level.add_block(7, 3, 'R');
    level.set_held(7, 3, 1);
    pusher->code_action("on", 0, &level);
    run_ticks(level, 2);
    EXPECT_FALSE(pusher->extended);
    EXPECT_EQ(level.blocks[7][3], 'R');
}

TEST(PusherEdges, FacingOffTheLeftOrTopEdgeNeverExtends) {
    Level level;
    DevicePusher* left = place<DevicePusher>(level, 0, 5, false, DIR_LEFT);
    DevicePusher* up = place<DevicePusher>(level, 5, 0, false, DIR_UP);
    left->code_action("on", 0, &level);
    up->code_action("on", 0, &level);
    run_ticks(level, 3);
    EXPECT_FALSE(left->extended);
    EXPECT_FALSE(up->extended);
}

TEST(PusherEdges, FacingOffTheRightOrBottomEdgeExtendsIntoTheEmptyExtraCells) {
    Level level;
    DevicePusher* right = place<DevicePusher>(level, 25, 5, false, DIR_RIGHT);
    DevicePusher* down = place<DevicePusher>(level, 5, 21, false, DIR_DOWN);
    right->code_action("on", 0, &level);
    down->code_action("on", 0, &level);
    level.tick();
    EXPECT_TRUE(right->extended);
    EXPECT_TRUE(down->extended);
    EXPECT_TRUE(right->block_collide(26, 5));
    EXPECT_TRUE(down->block_collide(5, 22));
}

TEST(PusherEdges, UnknownDirectionStaysOnItsOwnCell) {
    Level level;
    DevicePusher* pusher = place<DevicePusher>(level, 5, 5, false, 9);
    level.add_block(6, 5, 'R');
    pusher->code_action("on", 0, &level);
    run_ticks(level, 2);
    EXPECT_EQ(level.blocks[6][5], 'R');
    EXPECT_FALSE(pusher->block_collide(6, 5));
    SurfacePtr surface = make_surface(75, 75);
    pusher->draw_at(surface.get(), 25, 25, true);
}

TEST(PusherInterface, VerbsAndReset) {
    Level level;
    DevicePusher pusher(5, 5, false, DIR_UP);
    pusher.code_action("on", 0, &level);
    EXPECT_TRUE(pusher.on);
    pusher.code_action("spray", 0, &level);
    pusher.code_action("ON", 0, &level);
    EXPECT_TRUE(pusher.on);
    pusher.code_action("off", 7, &level);
    EXPECT_FALSE(pusher.on);
    pusher.on = true;
    pusher.extended = true;
    pusher.reset();
    EXPECT_FALSE(pusher.on);
    EXPECT_FALSE(pusher.extended);
}

TEST(PusherInterface, FootprintIsTheAnchorPlusTheRodWhileOut) {
    DevicePusher pusher(5, 5, false, DIR_LEFT);
    EXPECT_TRUE(pusher.floor_collide(5, 5));
    EXPECT_FALSE(pusher.floor_collide(4, 5));
    EXPECT_TRUE(pusher.block_collide(5, 5));
    EXPECT_FALSE(pusher.block_collide(4, 5));
    pusher.extended = true;
    EXPECT_TRUE(pusher.block_collide(4, 5));
    EXPECT_FALSE(pusher.floor_collide(4, 5));
    EXPECT_FALSE(pusher.is_low());
}

TEST(PusherInterface, LuaTableNameAndRecord) {
    Level level;
    DevicePusher pusher(12, 7, false, DIR_LEFT);
    pusher.give_name(1);
    EXPECT_STREQ(pusher.name, "pusher_1");
    EXPECT_EQ(pusher.number, 1);
    EXPECT_EQ(pusher.kind, "pusher");
    EXPECT_EQ(pusher.get_code_stub(&level), "pusher_1 = { on = function (x) if x then action('pusher_1','on',0) else "
                                            "action('pusher_1','off',0) end end }\n");
    EXPECT_EQ(pusher.get_save_stub(&level), "e, 12, 7, 1, 3");
}

TEST(PusherInterface, LongestNameStillFitsTheStub) {
    Level level;
    DevicePusher pusher(0, 0, false, DIR_UP);
    pusher.give_name(-2147483647 - 1);
    EXPECT_STREQ(pusher.name, "pusher_-2147483648");
    std::string stub = pusher.get_code_stub(&level);
    EXPECT_LT(stub.size(), 256u);
    EXPECT_EQ(stub.back(), '\n');
}

TEST(PusherInterface, CopyKeepsConstructorArgumentsButNotNameOrState) {
    DevicePusher pusher(3, 4, true, DIR_DOWN);
    pusher.give_name(2);
    pusher.on = true;
    pusher.extended = true;
    auto made = pusher.copy();
    auto* twin = dynamic_cast<DevicePusher*>(made.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->x, 3);
    EXPECT_EQ(twin->y, 4);
    EXPECT_TRUE(twin->fixed);
    EXPECT_EQ(twin->direction, DIR_DOWN);
    EXPECT_STREQ(twin->name, "");
    EXPECT_EQ(twin->number, 0);
    EXPECT_EQ(twin->kind, "pusher");
    EXPECT_FALSE(twin->on);
    EXPECT_FALSE(twin->extended);
}

// Body: grey with a light nose on its top edge. Rod: a vertical bar on
// magenta, so its turn and its transparency both show.
class PusherDrawing : public testing::Test {
protected:
    static constexpr Rgb BODY{128, 128, 128};
    static constexpr Rgb NOSE{248, 248, 248};
    static constexpr Rgb ROD{248, 128, 0};
    ArtDir art;

    void SetUp() override {
        art.picture("pusher.gif", BODY, {{10, 0, 5, 5, NOSE}});
        art.picture("pusher_rod.gif", MAGENTA, {{10, 0, 5, 25, ROD}});
    }
};

TEST_F(PusherDrawing, BodyAndRodFaceTheDirection) {
    // Nose position inside the anchor cell, per direction.
    const int nose[4][2] = {{12, 2}, {22, 12}, {12, 22}, {2, 12}};
    for (int direction = 0; direction < 4; ++direction) {
        auto pusher = art.make<DevicePusher>(0, 0, false, direction);
        SurfacePtr surface = make_surface(75, 75);
        pusher->draw_at(surface.get(), 25, 25, false);
        EXPECT_TRUE(pixel_is(surface.get(), 25 + nose[direction][0] + 1, 25 + nose[direction][1] + 1, NOSE))
            << "direction " << direction;
        Step step = direction_step(direction);
        int fx = 25 + 25 * step.dx, fy = 25 + 25 * step.dy;
        EXPECT_TRUE(pixel_is(surface.get(), fx + 12, fy + 12, BLACK)) << "no rod while retracted";

        pusher->extended = true;
        pusher->draw_at(surface.get(), 25, 25, false);
        EXPECT_TRUE(pixel_is(surface.get(), fx + 13, fy + 13, ROD)) << "direction " << direction;
        // The bar runs along the push: a cell off its axis stays clear.
        int side_x = step.dx != 0 ? 13 : 3;
        int side_y = step.dy != 0 ? 13 : 3;
        EXPECT_TRUE(pixel_is(surface.get(), fx + side_x, fy + side_y, BLACK)) << "direction " << direction;
    }
}
