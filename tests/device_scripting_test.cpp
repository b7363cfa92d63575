// The real devices driven by real Lua: their tables, the action queue and the
// dispatch, frame by frame as a run does it.
#include <gtest/gtest.h>

#include "conveyer/conveyer.h"
#include "device_test_util.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "pusher/pusher.h"
#include "run/run.h"
#include "scripting/scripting_engine.h"
#include "sensor/sensor.h"

namespace {
// One simulation frame: program, dispatch, and a step when nothing failed.
void frame(Level& level, ScriptingEngine& lua, const std::string& code) {
    lua.run_code(assemble_program(level, code).c_str(), "EVERY TIME");
    parse_actions(level, lua);
    if (!lua.error)
        level.tick();
}

template <class T, class... Args> T* named(Level& level, int number, Args&&... args) {
    T* device = place<T>(level, std::forward<Args>(args)...);
    device->give_name(number);
    return device;
}
} // namespace

TEST(DeviceScripting, PusherShovesWhenSwitchedOnAndRetractsWhenOff) {
    Level level;
    DevicePusher* pusher = named<DevicePusher>(level, 0, 5, 5, false, DIR_RIGHT);
    level.add_block(6, 5, 'R');
    ScriptingEngine lua;
    frame(level, lua, "pusher_0.on(0)"); // 0 is true in Lua
    ASSERT_FALSE(lua.error.has_value()) << *lua.error;
    EXPECT_TRUE(pusher->extended);
    EXPECT_EQ(level.blocks[7][5], 'R');
    frame(level, lua, "pusher_0.on(false)");
    EXPECT_FALSE(pusher->extended);
    frame(level, lua, "pusher_0.on(true) pusher_0.on(nil)");
    EXPECT_FALSE(pusher->on) << "the last command of a frame wins";
}

TEST(DeviceScripting, SensorAnswersForTheFloorAsThePreviousStepLeftIt) {
    Level level;
    named<DeviceSensor>(level, 0, 5, 5, false, DIR_UP);
    named<DeviceIndicator>(level, 0, 9, 9, false, 255, 0, 0);
    level.spawners.push_back(std::make_unique<Spawner>(5, 4, 'G', 2));
    ScriptingEngine lua;
    const std::string code = "indicator_0.on(sensor_0.read())";
    frame(level, lua, code); // step 1: nothing yet
    frame(level, lua, code); // sees step 1's floor; step 2 spawns
    auto* lamp = static_cast<DeviceIndicator*>(level.devices[1].get());
    EXPECT_FALSE(lamp->lit);
    frame(level, lua, code);
    EXPECT_TRUE(lamp->lit);
}

TEST(DeviceScripting, GrabberMovesToTruncatedRowsAndReportsLastFramesPosition) {
    Level level;
    DeviceGrabber* grabber = named<DeviceGrabber>(level, 0, 5, 2, false, 18, true);
    ScriptingEngine lua;
    frame(level, lua, "grabber_0.move_to(3.7) seen = grabber_0.read()");
    EXPECT_EQ(grabber->target, 3);
    for (int i = 0; i < 6; ++i)
        frame(level, lua, "seen = grabber_0.read()");
    EXPECT_EQ(grabber->position, 3);
    lua.run_code("if seen ~= 3 then error('read ' .. tostring(seen)) end", "CHECK");
    EXPECT_FALSE(lua.error.has_value()) << *lua.error;
    frame(level, lua, "grabber_0.move_to(-2.9)");
    EXPECT_EQ(grabber->target, -2);
}

TEST(DeviceScripting, PlayerLinesCountAfterTheDeviceTables) {
    Level level;
    for (int n = 0; n < 3; ++n)
        named<DevicePusher>(level, n, 2 + 2 * n, 2, false, DIR_UP);
    place<DeviceConveyer>(level, 10, 10, true, 3, DIR_RIGHT, 10);
    ScriptingEngine lua;
    frame(level, lua, "x = 1\nx = = 2");
    ASSERT_TRUE(lua.error.has_value());
    EXPECT_EQ(lua.error->rfind("[string \"EVERY TIME\"]:5:", 0), 0u) << *lua.error;
    EXPECT_EQ(level.ticks, 0) << "a failed frame does not step";
}

TEST(DeviceScripting, EveryDeviceOfANameHearsItAndUnknownNamesStopTheDispatch) {
    Level level;
    DevicePusher* first = named<DevicePusher>(level, 0, 2, 2, false, DIR_UP);
    DevicePusher* twin = named<DevicePusher>(level, 0, 4, 2, false, DIR_UP);
    DeviceIndicator* lamp = named<DeviceIndicator>(level, 0, 6, 2, false, 0, 255, 0);
    ScriptingEngine lua;
    frame(level, lua, "pusher_0.on(true) action('pusher_7', 'on', 0) indicator_0.on(true)");
    EXPECT_TRUE(first->on);
    EXPECT_TRUE(twin->on);
    EXPECT_FALSE(lamp->lit);
    ASSERT_TRUE(lua.error.has_value());
    EXPECT_EQ(*lua.error, "device not found: pusher_7");
    EXPECT_TRUE(lua.action_names.empty());
}
