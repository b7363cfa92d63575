// Sensors read their front cell into their Lua table; lamps light from Lua
// and show dim while building. Records, copies and drawing of both.
#include <gtest/gtest.h>

#include <string>

#include "device_test_util.h"
#include "indicator/indicator.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"

namespace {
std::string read_stub(const char* name, const char* value) {
    return std::string(name) + " = { read = function () return " + value + " end }\n";
}
} // namespace

TEST(SensorReading, BakesTheFrontCellIntoItsTable) {
    Level level;
    for (int direction = 0; direction < 4; ++direction) {
        DeviceSensor sensor(10, 10, false, direction);
        sensor.give_name(direction);
        Step step = direction_step(direction);
        EXPECT_EQ(sensor.get_code_stub(&level), read_stub(sensor.name, "false"));
        level.add_block(10 + step.dx, 10 + step.dy, 'W');
        EXPECT_EQ(sensor.get_code_stub(&level), read_stub(sensor.name, "true")) << "direction " << direction;
        level.clear_blocks();
        // A block anywhere else is not seen.
        level.add_block(10 - step.dx, 10 - step.dy, 'W');
        EXPECT_EQ(sensor.get_code_stub(&level), read_stub(sensor.name, "false"));
        level.clear_blocks();
    }
}

TEST(SensorReading, HeldAndGluedBlocksCount) {
    Level level;
    DeviceSensor sensor(10, 10, false, DIR_RIGHT);
    sensor.give_name(0);
    level.add_block(11, 10, 'R');
    level.set_held(11, 10, 1);
    level.set_sticky(11, 10, 1);
    EXPECT_EQ(sensor.get_code_stub(&level), read_stub("sensor_0", "true"));
}

TEST(SensorReading, ReadsTheFloorAsTheLastTickLeftIt) {
    Level level;
    DeviceSensor* sensor = place<DeviceSensor>(level, 10, 10, false, DIR_UP);
    DevicePusher* pusher = place<DevicePusher>(level, 8, 9, false, DIR_RIGHT);
    sensor->give_name(0);
    level.add_block(9, 9, 'R');
    pusher->code_action("on", 0, &level);
    EXPECT_EQ(sensor->get_code_stub(&level), read_stub("sensor_0", "false"));
    level.tick(); // the block arrives in the front cell during this tick
    EXPECT_EQ(sensor->get_code_stub(&level), read_stub("sensor_0", "true"));
}

TEST(SensorEdges, CellsBeyondTheFloorReadEmpty) {
    Level level;
    // Blocks on the edge cells beside each sensor, none in front.
    level.add_block(0, 4, 'R');
    level.add_block(4, 0, 'R');
    level.add_block(25, 4, 'R');
    level.add_block(4, 21, 'R');
    DeviceSensor left(0, 5, false, DIR_LEFT), up(5, 0, false, DIR_UP);
    DeviceSensor right(25, 5, false, DIR_RIGHT), down(5, 21, false, DIR_DOWN);
    for (DeviceSensor* s : {&left, &up, &right, &down}) {
        s->give_name(1);
        EXPECT_EQ(s->get_code_stub(&level), read_stub("sensor_1", "false"));
    }
}

TEST(SensorInterface, PassiveOneCellDeviceWithItsRecord) {
    Level level;
    DeviceSensor sensor(7, 8, false, DIR_DOWN);
    sensor.give_name(3);
    EXPECT_STREQ(sensor.name, "sensor_3");
    EXPECT_EQ(sensor.kind, "sensor");
    EXPECT_TRUE(sensor.floor_collide(7, 8));
    EXPECT_TRUE(sensor.block_collide(7, 8));
    EXPECT_FALSE(sensor.block_collide(7, 9)) << "the front cell stays open";
    EXPECT_FALSE(sensor.is_low());
    EXPECT_EQ(sensor.get_save_stub(&level), "f, 7, 8, 3, 2");
    auto made = sensor.copy();
    auto* twin = dynamic_cast<DeviceSensor*>(made.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->x, 7);
    EXPECT_EQ(twin->y, 8);
    EXPECT_EQ(twin->direction, DIR_DOWN);
    EXPECT_STREQ(twin->name, "");
    EXPECT_EQ(twin->number, 0);
}

TEST(IndicatorLamp, VerbsResetAndTheSameTableAsAPusher) {
    Level level;
    DeviceIndicator lamp(3, 3, false, 255, 128, 0);
    lamp.give_name(2);
    EXPECT_STREQ(lamp.name, "indicator_2");
    EXPECT_EQ(lamp.kind, "indicator");
    lamp.code_action("on", 0, &level);
    EXPECT_TRUE(lamp.lit);
    lamp.code_action("blink", 0, &level);
    EXPECT_TRUE(lamp.lit);
    lamp.code_action("off", 0, &level);
    EXPECT_FALSE(lamp.lit);
    lamp.code_action("on", 0, &level);
    lamp.reset();
    EXPECT_FALSE(lamp.lit);
    EXPECT_EQ(lamp.get_code_stub(&level), "indicator_2 = { on = function (x) if x then action('indicator_2','on',0) "
                                          "else action('indicator_2','off',0) end end }\n");
}

TEST(IndicatorLamp, RecordCopyAndFootprint) {
    Level level;
    DeviceIndicator lamp(3, 4, true, 0, 255, 0);
    lamp.give_name(5);
    lamp.lit = true;
    EXPECT_EQ(lamp.get_save_stub(&level), "d, 3, 4, 5, 0, 255, 0");
    EXPECT_TRUE(lamp.floor_collide(3, 4));
    EXPECT_TRUE(lamp.block_collide(3, 4));
    EXPECT_FALSE(lamp.floor_collide(4, 4));
    auto made = lamp.copy();
    auto* twin = dynamic_cast<DeviceIndicator*>(made.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->x, 3);
    EXPECT_EQ(twin->y, 4);
    EXPECT_TRUE(twin->fixed);
    EXPECT_EQ(twin->red, 0);
    EXPECT_EQ(twin->green, 255);
    EXPECT_EQ(twin->blue, 0);
    EXPECT_FALSE(twin->lit);
    EXPECT_STREQ(twin->name, "");
}

TEST(IndicatorDrawing, FullColourOnlyWhenLitDuringARun) {
    ArtDir art; // no lamp frame picture: the colour alone is drawn
    auto lamp = art.make<DeviceIndicator>(0, 0, false, 255, 128, 0);
    SurfacePtr surface = make_surface(75, 75);
    lamp->draw_at(surface.get(), 25, 25, false);
    EXPECT_TRUE(pixel_maps_to(surface.get(), 25 + 12, 25 + 12, {63, 32, 0})) << "off: dim";
    EXPECT_TRUE(pixel_is(surface.get(), 24, 37, BLACK));
    EXPECT_TRUE(pixel_is(surface.get(), 50, 37, BLACK));
    lamp->lit = true;
    lamp->draw_at(surface.get(), 25, 25, false);
    EXPECT_TRUE(pixel_maps_to(surface.get(), 25, 25, {255, 128, 0}));
    EXPECT_TRUE(pixel_maps_to(surface.get(), 49, 49, {255, 128, 0}));
    lamp->draw_at(surface.get(), 25, 25, true);
    EXPECT_TRUE(pixel_maps_to(surface.get(), 37, 37, {63, 32, 0})) << "building: dim even when lit";
}

TEST(IndicatorDrawing, ColourComponentsUseTheirLowEightBits) {
    DeviceIndicator lamp(0, 0, false, 256 + 200, -1, 0);
    lamp.lit = true;
    SurfacePtr surface = make_surface(25, 25);
    lamp.draw_at(surface.get(), 0, 0, false);
    EXPECT_TRUE(pixel_maps_to(surface.get(), 12, 12, {200, 255, 0}));
    lamp.draw_at(surface.get(), 0, 0, true);
    EXPECT_TRUE(pixel_maps_to(surface.get(), 12, 12, {50, 63, 0}));
}

TEST(IndicatorDrawing, FrameIsDrawnOverTheColour) {
    ArtDir art;
    art.picture("indicator.gif", MAGENTA, {{0, 0, 25, 3, {128, 128, 128}}});
    auto lamp = art.make<DeviceIndicator>(0, 0, false, 0, 0, 255);
    lamp->lit = true;
    SurfacePtr surface = make_surface(25, 25);
    lamp->draw_at(surface.get(), 0, 0, false);
    EXPECT_TRUE(pixel_is(surface.get(), 12, 1, {128, 128, 128}));
    EXPECT_TRUE(pixel_maps_to(surface.get(), 12, 12, {0, 0, 255}));
}

TEST(SensorDrawing, BodyNeverTurnsAndTheBeamSitsInTheFrontCell) {
    ArtDir art;
    art.picture("sensor.gif", {128, 128, 128}, {{10, 0, 5, 5, {248, 248, 248}}});
    art.picture("sensor_red.gif", {248, 0, 0});
    for (int direction = 0; direction < 4; ++direction) {
        auto sensor = art.make<DeviceSensor>(0, 0, false, direction);
        SurfacePtr surface = make_surface(75, 75);
        sensor->draw_at(surface.get(), 25, 25, false);
        EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 25 + 2, {248, 248, 248})) << "direction " << direction;
        Step step = direction_step(direction);
        EXPECT_TRUE(pixel_is(surface.get(), 37 + 25 * step.dx, 37 + 25 * step.dy, {124, 0, 0}, 12))
            << "direction " << direction;
        EXPECT_TRUE(pixel_is(surface.get(), 37 - 25 * step.dx, 37 - 25 * step.dy, BLACK)) << "direction " << direction;
    }
}
