// Pushers: the retract-then-extend rod, gating and retries. Edges, drawing,
// the Lua table, the record and copies are in device_pictures_test.
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

TEST(PusherRod, PushesOnceAndPushesAgainOnlyAfterAWholeTickOff) {
    Level level;
    DevicePusher* pusher = place<DevicePusher>(level, 6, 3, false, DIR_RIGHT);
    level.add_block(7, 3, 'R');
    pusher->code_action("on", 0, &level);
    level.tick();
    EXPECT_TRUE(pusher->extended);
    EXPECT_EQ(level.blocks[8][3], 'R');
    EXPECT_FALSE(level.push_block(8, 3, -1, 0)) << "the rod is solid";
    pusher->code_action("off", 0, &level);
    level.tick();
    EXPECT_FALSE(pusher->extended);
    EXPECT_EQ(level.blocks[8][3], 'R') << "nothing is pulled back";
    EXPECT_FALSE(level.has_block(7, 3));
    pusher->code_action("on", 0, &level);
    level.tick();
    ASSERT_TRUE(pusher->extended);
    // Something appears in the front cell (say a spawner below the rod).
    level.add_block(7, 3, 'G');
    pusher->code_action("off", 0, &level);
    pusher->code_action("on", 0, &level);
    level.tick();
    EXPECT_TRUE(pusher->extended);
    EXPECT_EQ(level.blocks[7][3], 'G') << "off and on in one frame push nothing";
    pusher->code_action("off", 0, &level);
    level.tick();
    pusher->code_action("on", 0, &level);
    level.tick();
    EXPECT_EQ(level.blocks[8][3], 'G');
    EXPECT_EQ(level.blocks[9][3], 'R');
}
