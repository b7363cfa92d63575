// The player's program driving devices: the Lua function `action`, the queue,
// dispatch by name, line numbers, and errors crossing the engine.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "level/level.h"
#include "run/run.h"
#include "scripting/scripting_engine.h"
#include "test_device.h"

namespace {

using Received = std::vector<std::pair<std::string, int>>;

// A stand-in machine with a pusher's on(x) and a grabber's move_to(n); it
// records every action handed to it.
struct ScriptedDevice : TestDevice {
    Received received;
    explicit ScriptedDevice(const std::string& device_name) : TestDevice(0, 0) {
        std::snprintf(name, sizeof name, "%s", device_name.c_str());
    }
    void code_action(const char* verb, int arg, Level*) override { received.emplace_back(verb, arg); }
    std::string get_code_stub(Level*) override {
        std::string n = name;
        return n + " = { on = function (x) action('" + n + "', x and 'on' or 'off', 0) end, " +
               "move_to = function (k) action('" + n + "', 'move_to', k) end }\n";
    }
};

class Scripting : public testing::Test {
protected:
    Level level;
    ScriptingEngine script;

    ScriptedDevice* add(const std::string& name) {
        level.devices.push_back(std::make_unique<ScriptedDevice>(name));
        return static_cast<ScriptedDevice*>(level.devices.back().get());
    }
    // One simulation frame's program run and dispatch.
    void frame(const std::string& code) {
        script.run_code(assemble_program(level, code).c_str(), "EVERY TIME");
        parse_actions(level, script);
    }
};

TEST_F(Scripting, DispatchReachesEveryNamedDeviceInOrderUntilAnUnknownName) {
    ScriptedDevice* first = add("twin");
    ScriptedDevice* other = add("other");
    ScriptedDevice* second = add("twin");
    frame("twin.on(true) twin.on(false) other.on(0)");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(first->received, (Received{{"on", 0}, {"off", 0}}));
    EXPECT_EQ(second->received, first->received);
    EXPECT_EQ(other->received, (Received{{"on", 0}}));
    EXPECT_TRUE(script.action_names.empty());
    EXPECT_EQ(lua_gettop(script.lua), 0);

    frame("twin.on(true)\naction('nobody','on',0)\ntwin.on(false)");
    EXPECT_EQ(script.error, "device not found: nobody");
    EXPECT_EQ(first->received, (Received{{"on", 0}, {"off", 0}, {"on", 0}}));
    EXPECT_EQ(second->received, first->received);
    EXPECT_TRUE(script.action_names.empty()) << "the dropped actions never reach a later frame";
}

TEST_F(Scripting, ArgumentsAreTruncatedTowardZeroAndTheLastThreeCount) {
    ScriptedDevice* grabber = add("grabber_0");
    frame("grabber_0.move_to(3.7) grabber_0.move_to(-2.9) grabber_0.move_to(nil)\n"
          "grabber_0.move_to('5') grabber_0.move_to('abc') grabber_0.move_to(1e20) grabber_0.move_to(0/0)\n"
          "if action('x', 'y', 'grabber_0', 'last', 7) ~= 0 then error('answer') end");
    EXPECT_FALSE(script.error) << *script.error;
    EXPECT_EQ(grabber->received, (Received{{"move_to", 3}, {"move_to", -2}, {"move_to", 0}, {"move_to", 5},
                                           {"move_to", 0}, {"move_to", INT_MAX}, {"move_to", 0}, {"last", 7}}));
}

TEST_F(Scripting, BrokenActionCallsRaiseErrorsAndQueueNothing) {
    const char* cases[][2] = {
        {"action('pusher_0','on')", "action needs three arguments (device name, verb, number), got 2"},
        {"action(nil,'on',0)", "action: the device name must be a text, not nil"},
        {"action('pusher_0',true,0)", "action: the verb must be a text, not boolean"},
        {"action({},'on',0)", "action: the device name must be a text, not table"},
    };
    for (const auto& c : cases) {
        script.run_code((std::string("action('pusher_0','on',0)\n") + c[0]).c_str(), "EVERY TIME");
        EXPECT_EQ(script.error, std::string("[string \"EVERY TIME\"]:2: ") + c[1]) << c[0];
        EXPECT_EQ(script.action_names, (std::vector<std::string>{"pusher_0"})) << c[0];
        script.clear_actions();
    }
}

TEST_F(Scripting, ErrorLinesCountTheTableLinesInFrontAndSyntaxErrorsRunNothing) {
    ScriptedDevice* pusher = add("pusher_0");
    add("pusher_1");
    add("pusher_2");
    frame("pusher_0.on(true)\nx = = 1");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:5: unexpected symbol near '='");
    EXPECT_TRUE(pusher->received.empty());
    frame("\n\nlocal n = nil + 1");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:6: attempt to perform arithmetic on a nil value");
}

TEST_F(Scripting, ErrorValuesWithoutTextCountAsSuccess) {
    script.run_code("error('first')", "EVERY TIME");
    script.run_code("error({})", "EVERY TIME");
    EXPECT_FALSE(script.error) << *script.error;
    EXPECT_EQ(lua_gettop(script.lua), 0);
}

// A C++ function between the Lua error and the engine: with Lua built as
// C++, the error unwinds it and its destructors run.
int destroyed_guards = 0;
struct Guard {
    std::string payload = std::string(200, 'g');
    ~Guard() { ++destroyed_guards; }
};
int call_guarded(lua_State* L) {
    Guard guard;
    lua_call(L, lua_gettop(L) - 1, 0);
    return 0;
}

TEST(ScriptingRun, ErrorRaisedInsideActionUnwindsCppFrames) {
    ScriptingEngine script;
    lua_register(script.lua, "guarded", call_guarded);
    destroyed_guards = 0;
    for (int i = 0; i < 100; ++i) {
        script.run_code("guarded(action, 'pusher_0', nil, 1)", "EVERY TIME");
        ASSERT_EQ(script.error, "action: the verb must be a text, not nil");
    }
    EXPECT_EQ(destroyed_guards, 100);
    EXPECT_EQ(lua_gettop(script.lua), 0);
    script.run_code("guarded(action, 'pusher_0', 'on', 1)", "EVERY TIME");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(script.action_verbs, (std::vector<std::string>{"on"}));
}

} // namespace
