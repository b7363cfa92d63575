// Sensors read their front cell into their Lua table; lamps show dim while
// building or unlit.
#include <gtest/gtest.h>

#include <string>

#include "device_test_util.h"
#include "indicator/indicator.h"
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
        // Held and glued blocks count too.
        level.set_held(10 + step.dx, 10 + step.dy, 1);
        level.set_sticky(10 + step.dx, 10 + step.dy, 1);
        EXPECT_EQ(sensor.get_code_stub(&level), read_stub(sensor.name, "true")) << "direction " << direction;
        level.clear_blocks();
        // A block anywhere else is not seen.
        level.add_block(10 - step.dx, 10 - step.dy, 'W');
        EXPECT_EQ(sensor.get_code_stub(&level), read_stub(sensor.name, "false"));
        level.clear_blocks();
    }
}

TEST(IndicatorDrawing, FullColourOnlyWhenLitDuringARun) {
    ArtDir art; // no lamp frame picture: the colour alone is drawn
    auto lamp = art.make<DeviceIndicator>(0, 0, false, 255, 128, 0);
    SurfacePtr surface = make_surface(75, 75);
    lamp->draw_at(surface.get(), 25, 25, false);
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 25 + 12, {63, 32, 0})) << "off: dim";
    EXPECT_TRUE(pixel_is(surface.get(), 24, 37, BLACK));
    EXPECT_TRUE(pixel_is(surface.get(), 50, 37, BLACK));
    lamp->lit = true;
    lamp->draw_at(surface.get(), 25, 25, false);
    EXPECT_TRUE(pixel_is(surface.get(), 25, 25, {255, 128, 0}));
    EXPECT_TRUE(pixel_is(surface.get(), 49, 49, {255, 128, 0}));
    lamp->draw_at(surface.get(), 25, 25, true);
    EXPECT_TRUE(pixel_is(surface.get(), 37, 37, {63, 32, 0})) << "building: dim even when lit";
    // Colour components use their low eight bits.
    auto odd = art.make<DeviceIndicator>(0, 0, false, 256 + 200, -1, 0);
    odd->draw_at(surface.get(), 0, 0, true);
    EXPECT_TRUE(pixel_is(surface.get(), 12, 12, {50, 63, 0}));
}
