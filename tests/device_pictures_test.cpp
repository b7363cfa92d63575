// Every device kind side by side: its Lua table, its record and its copy;
// front cells off the floor; the one-cell devices drawn in each direction, and
// every kind but the lamp (which draws its colour) drawing nothing with its
// pictures missing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "device_test_util.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"
#include "sprayer/sprayer.h"

// A copy is as fixed and has the same record once named, but no name, number
// or run state of its own.
TEST(DeviceKinds, LuaTablesRecordsAndFreshCopies) {
    Level level;
    level.add_block(11, 10, 'R'); // in front of the sensor
    DevicePusher pusher(12, 7, true, DIR_LEFT);
    DeviceGrabber grabber(10, 2, true, 18, true);
    DeviceSprayer sprayer(9, 3, true, DIR_LEFT);
    DeviceSensor sensor(10, 10, true, DIR_RIGHT);
    DeviceIndicator lamp(3, 4, true, 0, 255, 0);
    DeviceConveyer belt(3, 4, true, 8, DIR_LEFT, 10);
    DeviceConverter converter(3, 4, true, 'R', 'G', &level);
    const struct {
        Device* device;
        const char* table;
        const char* record;
    } kinds[] = {
        {&pusher,
         "pusher_5 = { on = function (x) if x then action('pusher_5','on',0) else "
         "action('pusher_5','off',0) end end }\n",
         "e, 12, 7, 5, 3"},
        {&grabber,
         "grabber_5 = { grab = function () action('grabber_5','grab',0) end, release = function () "
         "action('grabber_5','release',0) end, move_to = function (x) action('grabber_5','move_to',x) end, "
         "read = function () return 0 end }\n",
         "c, 10, 2, 5, 18, 1"},
        {&sprayer, "sprayer_5 = { spray = function () action('sprayer_5','spray',0) end }\n", "g, 9, 3, 5, 3"},
        {&sensor, "sensor_5 = { read = function () return true end }\n", "f, 10, 10, 5, 1"},
        {&lamp,
         "indicator_5 = { on = function (x) if x then action('indicator_5','on',0) else "
         "action('indicator_5','off',0) end end }\n",
         "d, 3, 4, 5, 0, 255, 0"},
        {&belt, "", "b, 3, 4, 0, 8, 3, 10"},
        {&converter, "", "a, 3, 4, 0, 82, 71"},
    };
    for (const auto& k : kinds) {
        k.device->give_name(5);
        EXPECT_EQ(k.device->get_code_stub(&level), k.table);
        EXPECT_EQ(k.device->get_save_stub(&level), k.record);
    }
    pusher.on = pusher.extended = true;
    grabber.position = 7;
    grabber.target = 8;
    grabber.holding = true;
    sprayer.spray_time = 3;
    lamp.lit = true;
    belt.frame = 3;
    std::vector<std::unique_ptr<Device>> twins;
    for (const auto& k : kinds) {
        twins.push_back(k.device->copy());
        Device* twin = twins.back().get();
        EXPECT_TRUE(twin->fixed) << k.record;
        EXPECT_STREQ(twin->name, "") << k.record;
        EXPECT_EQ(twin->number, 0) << k.record;
        twin->give_name(5);
        EXPECT_EQ(twin->get_code_stub(&level), k.table);
        EXPECT_EQ(twin->get_save_stub(&level), k.record);
        // The longest name still fits the table.
        k.device->give_name(-2147483647 - 1);
        std::string longest = k.device->get_code_stub(&level);
        EXPECT_TRUE(longest.empty() || longest.back() == '\n') << longest;
    }
    EXPECT_FALSE(static_cast<DevicePusher*>(twins[0].get())->on);
    EXPECT_FALSE(static_cast<DevicePusher*>(twins[0].get())->extended);
    EXPECT_EQ(static_cast<DeviceGrabber*>(twins[1].get())->target, 0);
    EXPECT_FALSE(static_cast<DeviceGrabber*>(twins[1].get())->holding);
    EXPECT_EQ(static_cast<DeviceSprayer*>(twins[2].get())->spray_time, 0);
    EXPECT_FALSE(static_cast<DeviceIndicator*>(twins[4].get())->lit);
    EXPECT_EQ(static_cast<DeviceConveyer*>(twins[5].get())->frame, 0);
    EXPECT_EQ(static_cast<DeviceConverter*>(twins[6].get())->level, &level);
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
        EXPECT_EQ(sprayer->spray_time, 5);
        EXPECT_EQ(level.sticky[e.x + step.dy][e.y + step.dx], 0) << "direction " << e.direction;
        pusher->code_action("on", 0, &level);
        run_ticks(level, 3);
        EXPECT_EQ(pusher->extended, e.rod_goes_out) << "direction " << e.direction;
        EXPECT_EQ(pusher->block_collide(e.x + step.dx, e.y + step.dy), e.rod_goes_out) << "direction " << e.direction;
    }
}

// Bodies are grey with a light nose on their top edge. The rod is a vertical
// bar on magenta, so its turn and its transparency both show; the cloud has a
// mark in its top-left corner, so a turn would show.
TEST(DeviceDrawing, OneCellDevicesFaceTheirDirection) {
    const Rgb body{128, 128, 128}, light{248, 248, 248}, rod{248, 128, 0};
    ArtDir art;
    for (const char* file : {"pusher.gif", "sprayer.gif", "sensor.gif"})
        art.picture(file, body, {{10, 0, 5, 5, light}});
    art.picture("pusher_rod.gif", MAGENTA, {{10, 0, 5, 25, rod}});
    art.picture("sprayer_blue.gif", {0, 0, 248}, {{0, 0, 5, 5, light}});
    art.picture("sensor_red.gif", {248, 0, 0});
    // Nose position inside the cell, per direction.
    const int nose[4][2] = {{12, 2}, {22, 12}, {12, 22}, {2, 12}};
    for (int direction = 0; direction < 4; ++direction) {
        auto pusher = art.make<DevicePusher>(0, 0, false, direction);
        auto sprayer = art.make<DeviceSprayer>(0, 0, false, direction);
        auto sensor = art.make<DeviceSensor>(0, 0, false, direction);
        Step step = direction_step(direction);
        int fx = 25 + 25 * step.dx, fy = 25 + 25 * step.dy;
        // The sensor's body is never turned; its beam always shows.
        const struct {
            Device* device;
            int facing;
            Rgb idle, busy; // over the front cell, before and after it acts
        } cases[] = {{pusher.get(), direction, BLACK, rod},
                     {sprayer.get(), direction, BLACK, {0, 0, 124}},
                     {sensor.get(), DIR_UP, {124, 0, 0}, {124, 0, 0}}};
        for (const auto& c : cases) {
            SurfacePtr surface = make_surface(75, 75);
            c.device->draw_at(surface.get(), 25, 25, false);
            EXPECT_TRUE(pixel_is(surface.get(), 26 + nose[c.facing][0], 26 + nose[c.facing][1], light))
                << c.device->kind << " facing " << direction;
            EXPECT_TRUE(pixel_is(surface.get(), fx + 13, fy + 13, c.idle, 12)) << c.device->kind << " " << direction;
        }
        pusher->extended = true;
        sprayer->spray_time = 2;
        for (const auto& c : cases) {
            SurfacePtr surface = make_surface(75, 75);
            c.device->draw_at(surface.get(), 25, 25, false);
            EXPECT_TRUE(pixel_is(surface.get(), fx + 13, fy + 13, c.busy, 12)) << c.device->kind << " " << direction;
            EXPECT_TRUE(pixel_is(surface.get(), 37 - 25 * step.dx, 37 - 25 * step.dy, BLACK)) << "behind";
            // The rod runs along the push, so a point off its axis stays
            // clear; the cloud is never turned, so its mark stays top left.
            if (c.device == pusher.get()) {
                EXPECT_TRUE(pixel_is(surface.get(), fx + (step.dx ? 13 : 3), fy + (step.dy ? 13 : 3), BLACK));
            } else if (c.device == sprayer.get()) {
                EXPECT_TRUE(pixel_is(surface.get(), fx + 2, fy + 2, {124, 124, 124}, 12)) << direction;
            }
        }
    }
}

TEST(DeviceKinds, MissingPicturesDrawNothingAnywhere) {
    ArtDir art;
    auto inside = art.enter();
    Level level;
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
        for (bool faces_left : {true, false}) {
            auto grabber = std::make_unique<DeviceGrabber>(2, 2, false, length, faces_left);
            grabber->holding = true;
            grabber->position = 3;
            devices.push_back(std::move(grabber));
        }
        devices.push_back(std::make_unique<DeviceConveyer>(2, 2, false, length, DIR_DOWN, 10));
    }
    devices.push_back(std::make_unique<DeviceConverter>(2, 2, false, 'R', 'G', &level));
    const int spots[][2] = {{50, 50}, {-30, -30}, {-200, 40}, {140, 10}};
    for (auto& device : devices) {
        device->give_name(7);
        SurfacePtr surface = make_surface(150, 150);
        for (const auto& spot : spots)
            device->draw_at(surface.get(), spot[0], spot[1], false);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 150; ++x)
                ASSERT_TRUE(pixel_is(surface.get(), x, y, BLACK, 0)) << device->get_save_stub(&level);
        device->draw_at(surface.get(), 50, 50, true);
        device->draw(surface.get(), true);
    }
}
