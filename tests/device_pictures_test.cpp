// Every device kind with its pictures missing: drawing goes on without them,
// anywhere on or off the surface, and draws nothing (lamps only their colour).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "device_test_util.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"
#include "sprayer/sprayer.h"

namespace {
std::vector<std::unique_ptr<Device>> every_unlit_kind(Level& level) {
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
    for (bool faces_left : {true, false}) {
        auto grabber = std::make_unique<DeviceGrabber>(2, 2, false, 6, faces_left);
        grabber->holding = true;
        grabber->position = 3;
        devices.push_back(std::move(grabber));
    }
    devices.push_back(std::make_unique<DeviceConverter>(2, 2, false, 'R', 'G', &level));
    for (auto& device : devices)
        device->give_name(7);
    return devices;
}
} // namespace

TEST(DevicePictures, MissingPicturesDrawNothingAnywhere) {
    ArtDir art;
    auto inside = art.enter();
    Level level;
    auto devices = every_unlit_kind(level);
    const int spots[][2] = {{50, 50}, {0, 0}, {-30, -30}, {-200, 40}, {90, 90}, {140, 10}};
    for (auto& device : devices) {
        SurfacePtr surface = make_surface(150, 150);
        for (const auto& spot : spots)
            device->draw_at(surface.get(), spot[0], spot[1], false);
        EXPECT_TRUE(all_pixels_are(surface.get(), BLACK)) << device->get_save_stub(&level);
        device->draw_at(surface.get(), 50, 50, true);
        device->draw(surface.get(), true);
    }
}

TEST(DevicePictures, LampWithoutItsFrameFillsOnlyItsCell) {
    ArtDir art;
    auto inside = art.enter();
    DeviceIndicator lamp(0, 0, false, 0, 0, 255);
    SurfacePtr surface = make_surface(75, 75);
    lamp.draw_at(surface.get(), -20, -20, false);
    lamp.draw_at(surface.get(), 60, 60, false);
    EXPECT_TRUE(pixel_maps_to(surface.get(), 4, 4, {0, 0, 63}));
    EXPECT_TRUE(pixel_maps_to(surface.get(), 5, 5, BLACK));
    EXPECT_TRUE(pixel_maps_to(surface.get(), 74, 74, {0, 0, 63}));
    EXPECT_TRUE(pixel_maps_to(surface.get(), 59, 59, BLACK));
}
