// A configurable stand-in device for floor tests: covers and blocks a set of
// cells and records when it was ticked.
#ifndef GEARLOFT_TESTS_TEST_DEVICE_H
#define GEARLOFT_TESTS_TEST_DEVICE_H

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "devices/device.h"
#include "level/level.h"

class TestDevice : public Device {
public:
    std::set<std::pair<int, int>> solid;
    std::set<std::pair<int, int>> covered;
    std::function<void(Level*)> on_tick;
    int resets = 0;

    TestDevice(int x, int y) : Device(x, y, false) {}

    void draw_at(SDL_Surface*, int, int, bool) override {}
    void tick(Level* level) override {
        if (on_tick)
            on_tick(level);
    }
    void code_action(const char*, int, Level*) override {}
    bool block_collide(int cx, int cy) override { return solid.count({cx, cy}) > 0; }
    bool floor_collide(int cx, int cy) override { return covered.count({cx, cy}) > 0 || solid.count({cx, cy}) > 0; }
    std::unique_ptr<Device> copy() override { return std::make_unique<TestDevice>(x, y); }
    void give_name(int n) override { set_name("test_%d", n); }
    std::string get_code_stub(Level*) override { return ""; }
    void reset() override { ++resets; }
    bool is_low() override { return false; }
    std::string get_save_stub(Level*) override { return ""; }
};

// Adds a device to the level and returns it.
inline TestDevice* add_test_device(Level& level, int x, int y) {
    auto device = std::make_unique<TestDevice>(x, y);
    TestDevice* raw = device.get();
    level.devices.push_back(std::move(device));
    return raw;
}

#endif
