// The seven device kinds: their words, Lua tables and copies; belts,
// pushers, grabbers, sprayers and converters at work; drawing without art.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "files/describe.h"
#include "files/device_record.h"
#include "kinds/converter.h"
#include "kinds/conveyer.h"
#include "kinds/grabber.h"
#include "kinds/indicator.h"
#include "kinds/pusher.h"
#include "kinds/sensor.h"
#include "kinds/sprayer.h"
#include "level/placement.h"
#include "support.h"
#include "toolkit/sdl_canvas.h"

namespace {
int marks(const unsigned char (&grid)[GRID_W][GRID_H]) {
    int count = 0;
    for (const auto& column : grid)
        for (unsigned char mark : column)
            count += mark;
    return count;
}
} // namespace

// Each kind's word, Lua table and save record, read back as the same device;
// a copy is as fixed and gives the same record once named, but has no name,
// number or run state of its own.
TEST(DeviceKinds, TablesRecordsCopiesAndReset) {
    Level level;
    level.add_block(11, 10, 'R'); // in front of the sensor
    DevicePusher pusher(12, 7, Mobility::fixed, DIR_LEFT);
    DeviceGrabber grabber(10, 2, Mobility::fixed, 18, ClawSide::left);
    DeviceSprayer sprayer(9, 3, Mobility::fixed, DIR_LEFT);
    DeviceSensor sensor(10, 10, Mobility::fixed, DIR_RIGHT);
    DeviceIndicator lamp(3, 4, Mobility::fixed, 0, 255, 0);
    DeviceConveyer belt(3, 4, Mobility::fixed, 8, DIR_LEFT, 10);
    DeviceConverter converter(3, 4, Mobility::fixed, 'R', 'G');
    const std::tuple<Device*, const char*, const char*, const char*> kinds[] = {
        {&pusher, "pusher", "e, 12, 7, 5, 3",
         "pusher_5 = { on = function (x) if x then action('pusher_5','on',0) else action('pusher_5','off',0) end end "
         "}\n"},
        {&grabber, "grabber", "c, 10, 2, 5, 18, 1",
         "grabber_5 = { grab = function () action('grabber_5','grab',0) end, release = function () "
         "action('grabber_5','release',0) end, move_to = function (x) action('grabber_5','move_to',x) end, "
         "read = function () return 7 end }\n"},
        {&sprayer, "sprayer", "g, 9, 3, 5, 3",
         "sprayer_5 = { spray = function () action('sprayer_5','spray',0) end }\n"},
        {&sensor, "sensor", "f, 10, 10, 5, 1", "sensor_5 = { read = function () return true end }\n"},
        {&lamp, "indicator", "d, 3, 4, 5, 0, 255, 0",
         "indicator_5 = { on = function (x) if x then action('indicator_5','on',0) else action('indicator_5','off',0) "
         "end end }\n"},
        {&belt, "", "b, 3, 4, 0, 8, 3, 10", ""},
        {&converter, "", "a, 3, 4, 0, 82, 71", ""}};
    pusher.on = pusher.extended = grabber.holding = lamp.lit = true;
    grabber.position = 7;
    sprayer.spray_time = belt.frame = 3;
    for (auto [device, word, record, table] : kinds) {
        EXPECT_EQ(device->kind.word, std::string(word));
        device->give_name(5);
        EXPECT_EQ(device->number, *word ? 5 : 0) << "belts and converters take no name";
        EXPECT_EQ(device->get_code_stub(level), table);
        EXPECT_EQ(device->get_save_stub(), record);
        std::unique_ptr<Device> loaded = device_from_stub(record), twin = device->copy();
        ASSERT_NE(loaded, nullptr) << record;
        EXPECT_EQ(describe_part(*loaded) + " fixed", describe_part(*device)) << "all but fixed comes back";
        EXPECT_TRUE(twin->fixed && twin->name[0] == '\0') << word;
        twin->give_name(5);
        EXPECT_EQ(twin->get_code_stub(level).find("return 7"), std::string::npos) << "the copy's claw is at the top";
        EXPECT_EQ(twin->get_save_stub(), record);
        device->reset();
    }
    EXPECT_FALSE(pusher.on || pusher.extended || grabber.holding || lamp.lit);
    EXPECT_EQ(grabber.position + sprayer.spray_time + belt.frame, 0);
}

// Facing off the floor: left of column 0 and above row 0 there are no cells;
// right of column 25 and below row 21 lie the empty extra cells, which only
// a rod may enter. Nothing there is seen or sprayed.
TEST(DeviceKinds, FrontCellsOffTheFloor) {
    for (auto [x, y, direction, rod_goes_out] : {std::tuple{0, 5, DIR_LEFT, false}, {5, 0, DIR_UP, false},
                                                 {25, 5, DIR_RIGHT, true}, {5, 21, DIR_DOWN, true}}) {
        Level level;
        Step step = direction_step(direction);
        level.add_block(x + step.dy, y + step.dx, 'R'); // beside the devices, on the edge
        DevicePusher* pusher = place<DevicePusher>(level, x, y, Mobility::movable, direction);
        place<DeviceSprayer>(level, x, y, Mobility::movable, direction)->code_action("spray", 0, &level);
        EXPECT_NE(DeviceSensor(x, y, Mobility::movable, direction).get_code_stub(level).find("false"),
                  std::string::npos)
            << direction;
        EXPECT_EQ(marks(level.sticky), 0) << direction;
        pusher->code_action("on", 0, &level);
        run_ticks(level, 3);
        EXPECT_EQ(pusher->block_collide(x + step.dx, y + step.dy), rod_goes_out) << direction;
    }
}

TEST(Belt, MovesOnMultiplesOfItsPeriodWithFivePicturesPerPeriod) {
    for (int period : {10, 5, 1, 3}) {
        Level level;
        DeviceConveyer* belt = place<DeviceConveyer>(level, 0, 5, Mobility::movable, 20, DIR_RIGHT, period);
        level.add_block(0, 5, 'R');
        std::string frames, moved_on;
        for (int t = 1; t < 3 * period; ++t) {
            level.tick();
            frames += std::to_string(belt->frame);
            if (level.has_block(static_cast<int>(moved_on.size()) / 3 + 1, 5))
                moved_on += std::to_string(100 + t);
        }
        EXPECT_EQ(moved_on, std::to_string(100 + period) + std::to_string(100 + 2 * period)) << period;
        if (period >= 5) {
            EXPECT_EQ(frames.substr(0, period), period == 10 ? "0112233440" : "12340");
        }
    }
    // Without a period, a length or a direction a belt stands still.
    for (auto [length, direction, period] :
         {std::tuple{4, DIR_RIGHT, 0}, {4, DIR_RIGHT, -5}, {0, DIR_RIGHT, 5}, {4, 4, 5}}) {
        Level level;
        place<DeviceConveyer>(level, 2, 5, Mobility::movable, length, direction, period);
        level.add_block(2, 5, 'R');
        run_ticks(level, 20);
        EXPECT_EQ(level.blocks[2][5], 'R') << length << ", " << direction << ", " << period;
    }
}

// Belts running right or down are scanned from their rear end: the pushed
// chain is found again ahead and pushed once more, so a train of separate
// blocks spreads out. Belts running left advance each block one cell.
TEST(Belt, ScansFromItsAnchorEndAndMovesAGroupOncePerDirectionPerStep) {
    for (auto [direction, after] : {std::pair{DIR_RIGHT, "xxxxxxRxGxU"}, {DIR_LEFT, "xxxxRGUxxxx"}}) {
        Level level;
        place<DeviceConveyer>(level, 2, 3, Mobility::movable, 8, direction, 10);
        for (int x : {5, 6, 7})
            level.add_block(x, 3, "RGU"[x - 5]);
        level.ticks = 9;
        level.tick();
        EXPECT_EQ(row(level, 3, 0, 10), after) << direction;
    }
    // A glued group on two parallel belts moves once; a push that failed is
    // not tried again by the next belt of that direction.
    Level level;
    place<DeviceConveyer>(level, 2, 5, Mobility::movable, 8, DIR_RIGHT, 5);
    StubDevice* wall = place<StubDevice>(level);
    wall->solid.insert({4, 5});
    wall->on_tick = [wall](Level*) { wall->solid.clear(); };
    place<DeviceConveyer>(level, 2, 6, Mobility::movable, 8, DIR_RIGHT, 5);
    place<DeviceConveyer>(level, 6, 2, Mobility::movable, 8, DIR_DOWN, 5);
    level.add_block(3, 5, 'R');
    level.add_block(3, 6, 'G');
    level.groups[3][6] = level.groups[3][5];
    level.ticks = 4;
    level.tick();
    EXPECT_EQ(row(level, 5, 3, 4) + row(level, 6, 3, 4), "RxGx") << "blocked, and not retried";
    run_ticks(level, 5);
    EXPECT_EQ(row(level, 5, 3, 4) + row(level, 6, 3, 4), "xRxG");
    run_ticks(level, 10);
    EXPECT_EQ(row(level, 6, 6, 6) + row(level, 7, 6, 6), "RG") << "a down belt moved it in the same step";
}

// Blocked, a pusher retries every step; its rod out is solid and pushes
// nothing more; off and on within one frame leave it out; off, it pulls
// nothing back.
TEST(Pusher, RetractsBeforeItExtends) {
    Level level;
    DevicePusher* pusher = place<DevicePusher>(level, 6, 10, Mobility::movable, DIR_RIGHT);
    StubDevice* wall = place<StubDevice>(level);
    wall->solid.insert({8, 10});
    level.add_block(7, 10, 'G');
    // One frame: the program's verbs, a step; the row ahead and the rod.
    auto frame = [&](std::initializer_list<const char*> verbs) {
        for (const char* verb : verbs)
            pusher->code_action(verb, 0, &level);
        level.tick();
        return row(level, 10, 7, 9) + (pusher->extended ? "+" : "-");
    };
    EXPECT_EQ(frame({"on"}), "Gxx-");
    EXPECT_EQ(frame({}), "Gxx-");
    wall->solid.clear();
    EXPECT_EQ(frame({}), "xGx+");
    EXPECT_FALSE(level.push_block(8, 10, -1, 0)) << "the rod is solid";
    level.add_block(7, 10, 'U');
    EXPECT_EQ(frame({"off", "on"}), "UGx+");
    EXPECT_EQ(frame({"off"}), "UGx-");
    EXPECT_EQ(frame({"on"}), "xUG+");
}

TEST(Grabber, ClawMovesOnEvenTicksWithinItsTrackAndCarriesTheHeldGroup) {
    Level level;
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 10, 2, Mobility::movable, 10, ClawSide::left);
    grabber->code_action("grab", 0, &level);
    EXPECT_FALSE(grabber->holding) << "nothing in the claw cell";
    level.add_block(9, 2, 'R');
    level.add_block(8, 2, 'G');
    level.groups[8][2] = level.groups[9][2];
    grabber->code_action("grab", 0, &level);
    grabber->code_action("move_to", 3, &level);
    std::string positions;
    for (int t = 1; t <= 8; ++t, level.tick())
        positions += std::to_string(grabber->position);
    EXPECT_EQ(positions, "00112233");
    grabber->code_action("move_to", 2, &level);
    run_ticks(level, 2);
    EXPECT_EQ(row(level, 4, 8, 9), "GR");
    EXPECT_EQ(level.held[9][4] + marks(level.held), 2) << "the hold follows the claw";
    grabber->code_action("release", 0, &level);
    EXPECT_EQ(marks(level.held), 0);
    for (auto [length, target, expected] : {std::tuple{5, 99, 4}, {5, -3, 0}, {0, 5, 0}, {-4, 5, 0}}) {
        DeviceGrabber* other = place<DeviceGrabber>(level, 20, 2, Mobility::movable, length, ClawSide::left);
        other->code_action("move_to", target, &level);
        run_ticks(level, 30);
        EXPECT_EQ(other->position, expected) << "length " << length << ", target " << target;
        level.devices.pop_back();
    }
}

// Two claws on one block share its one hold mark; the claw that moves
// carries the block, and nothing is lost.
TEST(Grabber, CarryingWaitsForABlockedChainAndTheMovingClawCarriesASharedBlock) {
    Level level;
    DeviceGrabber* left = place<DeviceGrabber>(level, 10, 2, Mobility::movable, 10, ClawSide::left);
    DeviceGrabber* right = place<DeviceGrabber>(level, 8, 2, Mobility::movable, 10, ClawSide::right);
    level.add_block(9, 2, 'R');
    level.add_block(9, 4, 'G');
    place<StubDevice>(level)->solid.insert({9, 5});
    left->code_action("grab", 0, &level);
    right->code_action("grab", 0, &level);
    left->code_action("release", 0, &level);
    EXPECT_EQ(level.held[9][2], 1) << "still held by the other claw";
    left->code_action("grab", 0, &level);
    right->code_action("move_to", 5, &level);
    run_ticks(level, 4);
    EXPECT_EQ(right->position, 1) << "carried one row, then the chain below is blocked";
    EXPECT_EQ(row(level, 3, 9, 9) + row(level, 4, 9, 9), "RG");
    EXPECT_EQ(level.held[9][3] * 10 + level.held[9][2], 10) << "the hold went with the block";
    EXPECT_TRUE(left->holding && left->position == 0) << "the other claw is left at an empty cell";
    level.devices.pop_back();
    run_ticks(level, 2);
    EXPECT_EQ(row(level, 4, 9, 9) + row(level, 5, 9, 9), "RG");
    // Claws beyond the floor's edges have nothing to close on.
    for (auto [x, side] : {std::pair{0, ClawSide::left}, std::pair{25, ClawSide::right}}) {
        DeviceGrabber* edge = place<DeviceGrabber>(level, x, 2, Mobility::movable, 10, side);
        edge->code_action("grab", 0, &level);
        EXPECT_FALSE(edge->holding);
    }
}

TEST(SprayerAndConverter, GlueAtTheNextPushAnywhereAndConvertOneCell) {
    Level level;
    place<DeviceSprayer>(level, 5, 5, Mobility::movable, DIR_DOWN)->code_action("spray", 0, &level);
    DeviceSprayer* facing_nothing = place<DeviceSprayer>(level, 9, 5, Mobility::movable, DIR_RIGHT);
    level.add_block(15, 15, 'U');
    facing_nothing->code_action("spray", 0, &level);
    facing_nothing->code_action("paint", 0, &level);
    EXPECT_EQ(marks(level.sticky), 0) << "an empty front cell gets no mark";
    level.add_block(5, 6, 'R');
    level.add_block(6, 6, 'G');
    place<DeviceSprayer>(level, 5, 7, Mobility::movable, DIR_UP)->code_action("spray", 0, &level);
    run_ticks(level, 4);
    EXPECT_EQ(facing_nothing->spray_time, 1) << "the cloud shows for four frames";
    EXPECT_NE(level.groups[5][6], level.groups[6][6]) << "no push, no glue";
    EXPECT_TRUE(level.push_block(15, 15, 1, 0) && level.groups[5][6] == level.groups[6][6]);
    // Only the conversion cell converts, only its type, never from or into empty.
    place<DeviceConverter>(level, 10, 5, Mobility::movable, 'R', 'G');
    place<DeviceConverter>(level, 14, 10, Mobility::movable, EMPTY_BLOCK, 'R');
    place<DeviceConverter>(level, 2, 12, Mobility::movable, 'G', EMPTY_BLOCK);
    for (int x : {11, 12, 13})
        level.add_block(x, 7, 'R');
    level.add_block(4, 14, 'G');
    level.sticky[12][7] = 1;
    int group = level.groups[12][7];
    level.tick();
    EXPECT_EQ(row(level, 7, 11, 13) + row(level, 12, 16, 16) + row(level, 14, 4, 4), "RGRxG");
    EXPECT_EQ(level.groups[12][7] + level.sticky[12][7], group + 1);
    std::string footprint; // two solid rows, the lane through the conversion cell, a foot
    for (int cy = 4; cy <= 9; ++cy)
        for (int cx = 9; cx <= 14; ++cx)
            footprint += level.devices[3]->block_collide(cx, cy) ? '#' : '.';
    EXPECT_EQ(footprint, "......" ".####." ".####." "......" "..##.." "......");
}

// A place is judged by the footprint alone, so it must list exactly the
// cells each kind covers.
TEST(Placement, FootprintsAreTheCellsCovered) {
    Level level;
    for (int direction = 0; direction < 4; ++direction)
        place<DeviceConveyer>(level, 3, 4, Mobility::movable, 5, direction, 10);
    place<DeviceConveyer>(level, 3, 4, Mobility::movable, 0, DIR_UP, 10);
    place<DeviceGrabber>(level, 3, 4, Mobility::movable, 7, ClawSide::left);
    place<DeviceConverter>(level, 3, 4, Mobility::movable, 'R', 'G');
    place<DevicePusher>(level, 3, 4, Mobility::movable, DIR_LEFT);
    for (auto& device : level.devices) {
        std::set<std::pair<int, int>> covered, listed;
        for (int cx = -3; cx < GRID_W + 3; ++cx)
            for (int cy = -3; cy < GRID_H + 3; ++cy)
                if (device->floor_collide(cx, cy))
                    covered.insert({cx, cy});
        for (FloorCell cell : device->footprint())
            listed.insert({3 + cell.x, 4 + cell.y});
        EXPECT_EQ(listed, covered) << describe_part(*device);
    }
}

TEST(Placement, TheFloorsEdgesAndTheFirstDeviceInTheWay) {
    Level level;
    DeviceConveyer* belt = place<DeviceConveyer>(level, 5, 5, Mobility::fixed, 3, DIR_RIGHT, 10);
    DevicePusher* pusher = place<DevicePusher>(level, 6, 6, Mobility::movable, DIR_UP);
    DeviceConverter converter(0, 0, Mobility::movable, 'R', 'G');
    EXPECT_TRUE(placement_at(level, converter, {20, 20}).accepted()) << "its foot may hang below the floor";
    for (FloorCell off : {FloorCell{23, 0}, FloorCell{-1, 3}, FloorCell{10, 21}})
        EXPECT_EQ(placement_at(level, converter, off).problem, PlacementProblem::off_floor) << off.x << "," << off.y;
    Placement on_both = placement_at(level, converter, {4, 5});
    EXPECT_EQ(on_both.problem, PlacementProblem::fixed_belt);
    EXPECT_EQ(on_both.in_the_way, belt);
    EXPECT_EQ(placement_at(level, converter, {5, 6}).in_the_way, pusher);
    EXPECT_FALSE(placement_refused(level, *pusher)) << "a device is not in its own way";
}

// Without img/ every kind draws nothing, in any direction, anywhere.
TEST(DeviceKinds, MissingPicturesDrawNothingAnywhere) {
    ScratchDir empty;
    auto inside = empty.enter();
    Level level;
    for (int direction = -1; direction <= 4; ++direction) {
        place<DeviceConveyer>(level, 2, 2, Mobility::movable, 4, direction, 10);
        place<DevicePusher>(level, 2, 2, Mobility::movable, direction)->extended = true;
        place<DeviceSprayer>(level, 2, 2, Mobility::movable, direction)->spray_time = 3;
        place<DeviceSensor>(level, 2, 2, Mobility::movable, direction);
        place<DeviceGrabber>(level, 2, 2, Mobility::movable, direction * 3,
                             direction > 1 ? ClawSide::left : ClawSide::right)
            ->holding = true;
    }
    place<DeviceConverter>(level, 2, 2, Mobility::movable, 'R', 'G');
    Picture black = make_surface(150, 150), surface = make_surface(150, 150);
    SdlCanvas canvas(surface.get());
    for (auto& device : level.devices) {
        device->give_name(7);
        for (auto [x, y] : {std::pair{50, 50}, {-30, -30}, {-200, 40}, {140, 10}})
            device->draw_at(canvas, x, y, Phase::building);
        ASSERT_EQ(std::memcmp(surface->pixels, black->pixels, 150 * surface->pitch), 0) << describe_part(*device);
    }
}
