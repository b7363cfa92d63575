// The seven device kinds: their table rows, Lua tables, records and copies;
// belts, pushers, grabbers, sprayers, sensors and converters at work on the
// floor; and drawing with every picture missing.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "files/describe.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"
#include "sprayer/sprayer.h"
#include "support.h"

namespace {
int marks(const unsigned char (&grid)[GRID_W][GRID_H]) {
    int count = 0;
    for (const auto& column : grid)
        for (unsigned char mark : column)
            count += mark;
    return count;
}
} // namespace

// Each kind's word, Lua table and record; a copy is as fixed and has the
// same table and record once named, but no name, number or run state.
TEST(DeviceKinds, TablesRecordsAndFreshCopies) {
    Level level;
    level.add_block(11, 10, 'R'); // in front of the sensor
    DevicePusher pusher(12, 7, true, DIR_LEFT);
    DeviceGrabber grabber(10, 2, true, 18, true);
    DeviceSprayer sprayer(9, 3, true, DIR_LEFT);
    DeviceSensor sensor(10, 10, true, DIR_RIGHT);
    DeviceIndicator lamp(3, 4, true, 0, 255, 0);
    DeviceConveyer belt(3, 4, true, 8, DIR_LEFT, 10);
    DeviceConverter converter(3, 4, true, 'R', 'G');
    const struct {
        Device* device;
        const char* word;
        const char* table;
        const char* record;
    } kinds[] = {
        {&pusher, "pusher",
         "pusher_5 = { on = function (x) if x then action('pusher_5','on',0) else action('pusher_5','off',0) end end }\n",
         "e, 12, 7, 5, 3"},
        {&grabber, "grabber",
         "grabber_5 = { grab = function () action('grabber_5','grab',0) end, release = function () "
         "action('grabber_5','release',0) end, move_to = function (x) action('grabber_5','move_to',x) end, "
         "read = function () return 7 end }\n",
         "c, 10, 2, 5, 18, 1"},
        {&sprayer, "sprayer", "sprayer_5 = { spray = function () action('sprayer_5','spray',0) end }\n", "g, 9, 3, 5, 3"},
        {&sensor, "sensor", "sensor_5 = { read = function () return true end }\n", "f, 10, 10, 5, 1"},
        {&lamp, "indicator",
         "indicator_5 = { on = function (x) if x then action('indicator_5','on',0) else "
         "action('indicator_5','off',0) end end }\n",
         "d, 3, 4, 5, 0, 255, 0"},
        {&belt, "", "", "b, 3, 4, 0, 8, 3, 10"},
        {&converter, "", "", "a, 3, 4, 0, 82, 71"},
    };
    pusher.on = pusher.extended = grabber.holding = lamp.lit = true;
    grabber.position = 7;
    grabber.target = 8;
    sprayer.spray_time = belt.frame = 3;
    for (const auto& k : kinds) {
        EXPECT_EQ(k.device->kind, k.word);
        EXPECT_EQ(k.device->device_kind().letter, k.record[0]);
        k.device->give_name(5);
        EXPECT_EQ(k.device->number, *k.word ? 5 : 0) << "belts and converters take no name";
        EXPECT_EQ(k.device->get_code_stub(&level), k.table);
        EXPECT_EQ(k.device->get_save_stub(&level), k.record);
        std::unique_ptr<Device> twin = k.device->copy();
        EXPECT_TRUE(twin->fixed) << k.record;
        EXPECT_STREQ(twin->name, "") << k.record;
        twin->give_name(5);
        EXPECT_EQ(twin->get_save_stub(&level), k.record);
        twin->reset();
        std::string table = twin->get_code_stub(&level);
        EXPECT_EQ(table.find("return 7"), std::string::npos) << "the copy's claw starts at the top";
        // The longest name still fits the table.
        twin->give_name(-2147483647 - 1);
        std::string longest = twin->get_code_stub(&level);
        EXPECT_TRUE(longest.empty() || longest.back() == '\n') << longest;
    }
    pusher.reset();
    grabber.reset();
    sprayer.reset();
    lamp.reset();
    belt.reset();
    EXPECT_FALSE(pusher.on || pusher.extended || grabber.holding || lamp.lit);
    EXPECT_EQ(grabber.position + grabber.target + sprayer.spray_time + belt.frame, 0);
}

// A device facing off the floor: left of column 0 and above row 0 there are
// no cells; right of column 25 and below row 21 lie the empty extra cells,
// which only a rod may enter. Nothing there is seen or sprayed.
TEST(DeviceKinds, FrontCellsOffTheFloor) {
    const struct {
        int x, y, direction;
        bool rod_goes_out;
    } edges[] = {{0, 5, DIR_LEFT, false}, {5, 0, DIR_UP, false}, {25, 5, DIR_RIGHT, true}, {5, 21, DIR_DOWN, true}};
    for (const auto& e : edges) {
        Level level;
        Step step = direction_step(e.direction);
        level.add_block(e.x + step.dy, e.y + step.dx, 'R'); // beside the devices, on the edge
        DevicePusher* pusher = place<DevicePusher>(level, e.x, e.y, false, e.direction);
        DeviceSprayer* sprayer = place<DeviceSprayer>(level, e.x, e.y, false, e.direction);
        DeviceSensor sensor(e.x, e.y, false, e.direction);
        sensor.give_name(1);
        EXPECT_EQ(sensor.get_code_stub(&level), "sensor_1 = { read = function () return false end }\n");
        sprayer->code_action("spray", 0, &level);
        EXPECT_EQ(marks(level.sticky), 0) << "direction " << e.direction;
        pusher->code_action("on", 0, &level);
        run_ticks(level, 3);
        EXPECT_EQ(pusher->extended, e.rod_goes_out) << "direction " << e.direction;
        EXPECT_EQ(pusher->block_collide(e.x + step.dx, e.y + step.dy), e.rod_goes_out) << "direction " << e.direction;
    }
}

TEST(Belt, MovesOnMultiplesOfItsPeriodWithFivePicturesPerPeriod) {
    for (int period : {10, 5, 1, 3, 12}) {
        Level level;
        DeviceConveyer* belt = place<DeviceConveyer>(level, 0, 5, false, 20, DIR_RIGHT, period);
        level.add_block(0, 5, 'R');
        std::vector<int> moved_on, frames;
        for (int t = 1, at = 0; t < 4 * period; ++t) {
            level.tick();
            frames.push_back(belt->frame);
            if (level.has_block(at + 1, 5))
                moved_on.push_back(t), ++at;
        }
        EXPECT_EQ(moved_on, (std::vector<int>{period, 2 * period, 3 * period})) << "period " << period;
        if (period == 10) {
            EXPECT_EQ(std::vector<int>(frames.begin(), frames.begin() + 10), (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4, 4, 0}));
        }
        if (period == 5) {
            EXPECT_EQ(std::vector<int>(frames.begin(), frames.begin() + 5), (std::vector<int>{1, 2, 3, 4, 0}));
        }
    }
    // Without a period, a length or a direction a belt stands still.
    for (auto [length, direction, period] : {std::tuple{4, DIR_RIGHT, 0}, {4, DIR_RIGHT, -5}, {0, DIR_RIGHT, 5}, {4, 4, 5}}) {
        Level level;
        DeviceConveyer* belt = place<DeviceConveyer>(level, 2, 5, false, length, direction, period);
        level.add_block(2, 5, 'R');
        run_ticks(level, 20);
        EXPECT_EQ(level.blocks[2][5], 'R') << length << ", " << direction << ", " << period;
        EXPECT_EQ(belt->floor_collide(2, 5), length > 0);
    }
}

// Belts running right or down are scanned from their rear end: the pushed
// chain is found again ahead and pushed once more, so a train of separate
// blocks spreads out. Belts running up or left advance each block one cell.
TEST(Belt, ScansFromItsAnchorEnd) {
    const struct {
        int direction;
        int advances[3];
    } cases[] = {{DIR_RIGHT, {1, 2, 3}}, {DIR_DOWN, {1, 2, 3}}, {DIR_LEFT, {1, 1, 1}}, {DIR_UP, {1, 1, 1}}};
    for (const auto& c : cases) {
        Level level;
        DeviceConveyer* belt = place<DeviceConveyer>(level, 3, 3, false, 8, c.direction, 10);
        for (int k = 0; k < 3; ++k)
            level.add_block(belt->cell(3 + k).x, belt->cell(3 + k).y, 'R');
        level.ticks = 9;
        level.tick();
        Step step = direction_step(c.direction);
        for (int k = 0; k < 3; ++k) {
            FloorCell from = belt->cell(3 + k);
            EXPECT_EQ(level.group_at(from.x + step.dx * c.advances[k], from.y + step.dy * c.advances[k]), k + 1)
                << "block " << k << " in direction " << c.direction;
        }
        EXPECT_FALSE(belt->block_collide(belt->cell(0).x, belt->cell(0).y)) << "blocks stand on belts";
        EXPECT_FALSE(belt->floor_collide(belt->cell(8).x, belt->cell(8).y));
    }
}

// A glued group on two parallel belts moves once per step; a push that
// failed is not tried again by the next belt of that direction; belts of
// another direction move the group again.
TEST(Belt, MovesAGroupOncePerDirectionPerStep) {
    Level level;
    place<DeviceConveyer>(level, 2, 5, false, 8, DIR_RIGHT, 5);
    StubDevice* wall = place<StubDevice>(level);
    wall->solid.insert({4, 5});
    wall->on_tick = [wall](Level*) { wall->solid.clear(); };
    place<DeviceConveyer>(level, 2, 6, false, 8, DIR_RIGHT, 5);
    place<DeviceConveyer>(level, 6, 2, false, 8, DIR_DOWN, 5);
    level.add_block(3, 5, 'R');
    level.add_block(3, 6, 'G');
    level.groups[3][6] = level.groups[3][5];
    level.ticks = 4;
    level.tick();
    EXPECT_EQ(level.blocks[3][5], 'R') << "blocked, and not retried by the second belt";
    run_ticks(level, 5);
    EXPECT_EQ(level.blocks[4][5], 'R');
    EXPECT_EQ(level.blocks[4][6], 'G');
    run_ticks(level, 10);
    EXPECT_EQ(level.blocks[6][6], 'R') << "onto the down belt, which moved it in the same step";
    EXPECT_EQ(level.blocks[6][7], 'G');
}

TEST(Pusher, RetractsThenExtendsAndGatesABelt) {
    Level level;
    place<DeviceConveyer>(level, 2, 4, false, 8, DIR_RIGHT, 5);
    DevicePusher* gate = place<DevicePusher>(level, 6, 3, false, DIR_DOWN);
    level.add_block(4, 4, 'R');
    gate->code_action("on", 0, &level);
    run_ticks(level, 10);
    EXPECT_TRUE(gate->block_collide(6, 4));
    EXPECT_EQ(level.blocks[5][4], 'R') << "the rod stops the block before the front cell";
    gate->code_action("off", 0, &level);
    run_ticks(level, 5);
    EXPECT_FALSE(gate->extended);
    EXPECT_EQ(level.blocks[6][4], 'R');

    // Blocked, it retries every step; out, it pushes nothing more; off and on
    // within one frame leave the rod out.
    DevicePusher* pusher = place<DevicePusher>(level, 6, 10, false, DIR_RIGHT);
    StubDevice* wall = place<StubDevice>(level);
    wall->solid.insert({8, 10});
    level.add_block(7, 10, 'G');
    pusher->code_action("on", 0, &level);
    run_ticks(level, 3);
    EXPECT_FALSE(pusher->extended);
    wall->solid.clear();
    level.tick();
    EXPECT_TRUE(pusher->extended);
    EXPECT_EQ(level.blocks[8][10], 'G');
    EXPECT_FALSE(level.push_block(8, 10, -1, 0)) << "the rod is solid";
    level.add_block(7, 10, 'U');
    pusher->code_action("off", 0, &level);
    pusher->code_action("on", 0, &level);
    level.tick();
    EXPECT_EQ(level.blocks[7][10], 'U');
    pusher->code_action("off", 0, &level);
    level.tick();
    EXPECT_EQ(level.blocks[8][10], 'G') << "nothing is pulled back";
    pusher->code_action("on", 0, &level);
    level.tick();
    EXPECT_EQ(level.blocks[8][10], 'U');
    EXPECT_EQ(level.blocks[9][10], 'G');
}

TEST(Grabber, ClawMovesOneRowOnEvenTicksWithinItsTrack) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    grabber->code_action("move_to", 3, &level);
    std::vector<int> positions;
    for (int t = 1; t <= 8; ++t) {
        level.tick();
        positions.push_back(grabber->position);
    }
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 3}));
    for (auto [length, target, expected] : {std::tuple{5, 99, 4}, {5, -3, 0}, {0, 5, 0}, {-4, 5, 0}}) {
        DeviceGrabber* other = place<DeviceGrabber>(level, 20, 2, false, length, true);
        other->code_action("move_to", target, &level);
        run_ticks(level, 30);
        EXPECT_EQ(other->position, expected) << "length " << length << ", target " << target;
        level.devices.pop_back();
    }
}

TEST(Grabber, GrabCarryAndRelease) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    grabber->code_action("grab", 0, &level);
    EXPECT_FALSE(grabber->holding) << "nothing in the claw cell";
    level.add_block(9, 2, 'R');
    level.add_block(8, 2, 'G');
    level.groups[8][2] = level.groups[9][2];
    grabber->code_action("grab", 0, &level);
    ASSERT_TRUE(grabber->holding);
    // Carried down three rows and back up one, the hold follows the claw.
    grabber->code_action("move_to", 3, &level);
    run_ticks(level, 6);
    grabber->code_action("move_to", 2, &level);
    run_ticks(level, 2);
    EXPECT_EQ(level.blocks[9][4], 'R');
    EXPECT_EQ(level.blocks[8][4], 'G');
    EXPECT_EQ(level.held[9][4], 1);
    EXPECT_EQ(marks(level.held), 1);
    // Held, it resists a belt and a pusher until released.
    place<DeviceConveyer>(level, 2, 4, false, 8, DIR_LEFT, 1);
    DevicePusher* pusher = place<DevicePusher>(level, 9, 5, false, DIR_UP);
    pusher->code_action("on", 0, &level);
    run_ticks(level, 3);
    EXPECT_EQ(level.blocks[9][4], 'R');
    grabber->code_action("release", 0, &level);
    EXPECT_EQ(marks(level.held), 0);
    level.tick();
    EXPECT_FALSE(level.has_block(9, 4));
}

TEST(Grabber, CarryingWaitsForABlockedChainAndForAnotherClaw) {
    Level level;
    DeviceGrabber* left = place<DeviceGrabber>(level, 10, 2, false, 10, true);
    DeviceGrabber* right = place<DeviceGrabber>(level, 8, 2, false, 10, false);
    level.add_block(9, 2, 'R');
    level.add_block(9, 4, 'G');
    StubDevice* wall = place<StubDevice>(level);
    wall->solid.insert({9, 5});
    left->code_action("grab", 0, &level);
    right->code_action("grab", 0, &level);
    right->code_action("move_to", 5, &level);
    run_ticks(level, 4);
    EXPECT_EQ(right->position, 0) << "the other claw holds it too";
    left->code_action("release", 0, &level);
    EXPECT_EQ(level.held[9][2], 1) << "still held by the other claw";
    run_ticks(level, 4);
    EXPECT_EQ(right->position, 1) << "the chain below is blocked";
    EXPECT_EQ(level.held[9][3], 1) << "the hold is back on the claw cell";
    wall->solid.clear();
    run_ticks(level, 2);
    EXPECT_EQ(level.blocks[9][4], 'R');
    EXPECT_EQ(level.blocks[9][5], 'G');
    // Claws beyond the floor's edges have nothing to close on.
    for (auto [x, faces_left] : {std::pair{0, true}, std::pair{25, false}}) {
        DeviceGrabber* edge = place<DeviceGrabber>(level, x, 2, false, 10, faces_left);
        edge->code_action("grab", 0, &level);
        EXPECT_FALSE(edge->holding);
    }
}

TEST(Sprayer, MarksABlockInFrontThatTheNextPushAnywhereGlues) {
    Level level;
    DeviceSprayer* sprayer = place<DeviceSprayer>(level, 5, 5, false, DIR_DOWN);
    DeviceSprayer* facing_nothing = place<DeviceSprayer>(level, 9, 5, false, DIR_RIGHT);
    level.add_block(5, 6, 'R');
    level.add_block(6, 6, 'G');
    level.add_block(15, 15, 'U');
    sprayer->code_action("spray", 0, &level);
    facing_nothing->code_action("spray", 0, &level);
    facing_nothing->code_action("paint", 0, &level);
    EXPECT_EQ(marks(level.sticky), 1) << "an empty front cell gets no mark";
    std::vector<int> times;
    for (int frame = 0; frame < 6; ++frame) {
        level.tick();
        times.push_back(facing_nothing->spray_time);
    }
    EXPECT_EQ(times, (std::vector<int>{4, 3, 2, 1, 0, 0})) << "the cloud shows for four frames";
    EXPECT_NE(level.groups[5][6], level.groups[6][6]) << "no push, no glue";
    ASSERT_TRUE(level.push_block(15, 15, 1, 0));
    EXPECT_EQ(level.groups[5][6], level.groups[6][6]);
}

TEST(SensorAndLamp, SensorBakesItsFrontCellIntoItsTableAndLampsFollowOnAndOff) {
    Level level;
    for (int direction = 0; direction < 4; ++direction) {
        DeviceSensor sensor(10, 10, false, direction);
        Step step = direction_step(direction);
        level.add_block(10 - step.dx, 10 - step.dy, 'W'); // behind: not seen
        EXPECT_NE(sensor.get_code_stub(&level).find("return false"), std::string::npos);
        level.add_block(10 + step.dx, 10 + step.dy, 'W');
        level.set_held(10 + step.dx, 10 + step.dy, 1);
        EXPECT_NE(sensor.get_code_stub(&level).find("return true"), std::string::npos) << direction;
        level.clear_blocks();
    }
    DeviceIndicator lamp(0, 0, false, 0, 0, 255);
    for (auto [verb, lit] : {std::pair{"on", true}, {"dim", true}, {"off", false}}) {
        lamp.code_action(verb, 0, &level);
        EXPECT_EQ(lamp.lit, lit) << verb;
    }
}

TEST(Converter, ConvertsItsOneCellAndNeverFromOrIntoEmpty) {
    Level level;
    place<DeviceConverter>(level, 10, 5, false, 'R', 'G');
    place<DeviceConverter>(level, 2, 5, false, EMPTY_BLOCK, 'R');
    place<DeviceConverter>(level, 2, 12, false, 'G', EMPTY_BLOCK);
    for (int x : {11, 12, 13})
        level.add_block(x, 7, 'R');
    level.add_block(12, 8, 'R');
    level.add_block(4, 14, 'G');
    level.sticky[12][7] = 1;
    int group = level.groups[12][7];
    level.tick();
    EXPECT_EQ(std::string(1, level.blocks[11][7]) + char(level.blocks[12][7]) + char(level.blocks[13][7]) +
                  char(level.blocks[12][8]),
              "RGRR");
    EXPECT_EQ(level.groups[12][7], group);
    EXPECT_EQ(level.sticky[12][7], 1);
    EXPECT_FALSE(level.has_block(4, 7)) << "no block without a group appears";
    EXPECT_EQ(level.blocks[4][14], 'G') << "a grouped block never turns empty";
    // Two solid rows, the open lane through the conversion cell, and a foot.
    DeviceConverter& converter = *static_cast<DeviceConverter*>(level.devices[0].get());
    std::string footprint;
    for (int cy = 4; cy <= 9; ++cy)
        for (int cx = 9; cx <= 14; ++cx)
            footprint += converter.block_collide(cx, cy) ? '#' : '.';
    EXPECT_EQ(footprint, "......"
                         ".####."
                         ".####."
                         "......"
                         "..##.."
                         "......");
}

TEST(DeviceKinds, MissingPicturesDrawNothingAnywhere) {
    ScratchDir empty;
    auto inside = empty.enter();
    std::vector<std::unique_ptr<Device>> devices;
    for (int direction = -1; direction <= 4; ++direction) {
        devices.push_back(std::make_unique<DeviceConveyer>(2, 2, false, 4, direction, 10));
        auto pusher = std::make_unique<DevicePusher>(2, 2, false, direction);
        pusher->extended = true;
        devices.push_back(std::move(pusher));
        auto sprayer = std::make_unique<DeviceSprayer>(2, 2, false, direction);
        sprayer->spray_time = 3;
        devices.push_back(std::move(sprayer));
        devices.push_back(std::make_unique<DeviceSensor>(2, 2, false, direction));
    }
    for (int length : {6, 0, -4}) {
        devices.push_back(std::make_unique<DeviceGrabber>(2, 2, false, length, length > 0));
        devices.push_back(std::make_unique<DeviceConveyer>(2, 2, false, length, DIR_DOWN, 10));
    }
    devices.push_back(std::make_unique<DeviceConverter>(2, 2, false, 'R', 'G'));
    Picture black = make_surface(150, 150);
    for (auto& device : devices) {
        device->give_name(7);
        Picture surface = make_surface(150, 150);
        for (auto [x, y] : {std::pair{50, 50}, {-30, -30}, {-200, 40}, {140, 10}})
            device->draw_at(surface.get(), x, y, true);
        ASSERT_EQ(std::memcmp(surface->pixels, black->pixels, 150 * surface->pitch), 0) << describe_part(*device);
    }
}
