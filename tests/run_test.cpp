// The run: the engine's action queue, program assembly, dispatch by name,
// and the frame order with its win test, driven by real Lua.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "conveyer/conveyer.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "pusher/pusher.h"
#include "run/run.h"
#include "scripting/scripting_engine.h"
#include "sensor/sensor.h"
#include "support.h"

namespace {
using Received = std::vector<std::pair<std::string, int>>;

// A stand-in with a pusher's on(x) and a grabber's move_to(n) in its table.
StubDevice* scripted(Level& level, const std::string& name) {
    StubDevice* device = place<StubDevice>(level, name);
    device->stub = name + " = { on = function (x) action('" + name + "', x and 'on' or 'off', 0) end, " +
                   "move_to = function (k) action('" + name + "', 'move_to', k) end }\n";
    return device;
}

// One frame's program run and dispatch.
void program(Level& level, ScriptingEngine& script, const std::string& code) {
    script.run_code(assemble_program(level, code).c_str(), "EVERY TIME");
    parse_actions(level, script);
}
} // namespace

TEST(Dispatch, ReachesEveryNamedDeviceInOrderUntilAnUnknownName) {
    Level level;
    StubDevice* first = scripted(level, "twin");
    StubDevice* other = scripted(level, "other");
    StubDevice* second = scripted(level, "twin");
    ScriptingEngine script;
    program(level, script, "twin.on(true) twin.on(false) other.on(0)");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(first->received, (Received{{"on", 0}, {"off", 0}}));
    EXPECT_EQ(second->received, first->received);
    EXPECT_EQ(other->received, (Received{{"on", 0}}));
    program(level, script, "twin.on(true)\naction('nobody','on',0)\ntwin.on(false)");
    EXPECT_EQ(script.error, "device not found: nobody");
    EXPECT_EQ(first->received, (Received{{"on", 0}, {"off", 0}, {"on", 0}}));
    EXPECT_EQ(second->received, first->received);
    EXPECT_TRUE(script.take_actions().empty()) << "the dropped actions never reach a later frame";
}

TEST(Dispatch, ArgumentsAreTruncatedTowardZeroAndTheLastThreeCount) {
    Level level;
    StubDevice* grabber = scripted(level, "grabber_0");
    ScriptingEngine script;
    program(level, script,
            "grabber_0.move_to(3.7) grabber_0.move_to(-2.9) grabber_0.move_to(nil)\n"
            "grabber_0.move_to('5') grabber_0.move_to('abc') grabber_0.move_to(1e20) grabber_0.move_to(0/0)\n"
            "if action('x', 'y', 'grabber_0', 'last', 7) ~= 0 then error('answer') end");
    EXPECT_FALSE(script.error) << *script.error;
    EXPECT_EQ(grabber->received, (Received{{"move_to", 3}, {"move_to", -2}, {"move_to", 0}, {"move_to", 5},
                                           {"move_to", 0}, {"move_to", INT_MAX}, {"move_to", 0}, {"last", 7}}));
}

TEST(Engine, BrokenActionCallsRaiseErrorsAndQueueNothing) {
    const char* cases[][2] = {
        {"action('pusher_0','on')", "action needs three arguments (device name, verb, number), got 2"},
        {"action(nil,'on',0)", "action: the device name must be a text, not nil"},
        {"action('pusher_0',true,0)", "action: the verb must be a text, not boolean"},
    };
    ScriptingEngine script;
    for (const auto& c : cases) {
        script.run_code((std::string("action('pusher_0','on',0)\n") + c[0]).c_str(), "EVERY TIME");
        EXPECT_EQ(script.error, std::string("[string \"EVERY TIME\"]:2: ") + c[1]) << c[0];
        std::vector<Action> queued = script.take_actions();
        ASSERT_EQ(queued.size(), 1u) << c[0];
        EXPECT_EQ(queued[0].name + " " + queued[0].verb, "pusher_0 on");
    }
    script.run_code("error({})", "EVERY TIME");
    EXPECT_FALSE(script.error) << "an error value without text counts as success";
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

TEST(Engine, ErrorRaisedInsideActionUnwindsCppFrames) {
    ScriptingEngine script;
    lua_register(script.lua, "guarded", call_guarded);
    destroyed_guards = 0;
    for (int i = 0; i < 100; ++i) {
        script.run_code("guarded(action, 'pusher_0', nil, 1)", "EVERY TIME");
        ASSERT_EQ(script.error, "action: the verb must be a text, not nil");
    }
    EXPECT_EQ(destroyed_guards, 100);
    EXPECT_EQ(lua_gettop(script.lua), 0);
}

class RunTest : public testing::Test {
protected:
    void SetUp() override {
        pusher_ = place<DevicePusher>(level_, 5, 5, false, DIR_RIGHT);
        pusher_->give_name(0);
    }
    Level level_;
    DevicePusher* pusher_ = nullptr;
    ::Run run_;
};

TEST_F(RunTest, InitActionsWaitForTheFirstFrameAndComeFirstInIt) {
    EXPECT_TRUE(run_.frame(level_, "").failed) << "no frame before a start";
    ASSERT_TRUE(run_.start(level_, "pusher_0.on(true)"));
    EXPECT_FALSE(pusher_->on) << "nothing is dispatched after the first chunk";
    FrameResult first = run_.frame(level_, "");
    EXPECT_TRUE(first.stepped);
    EXPECT_TRUE(pusher_->extended) << "the frame's step follows the dispatch";
    EXPECT_EQ(level_.ticks, 1);
    ASSERT_TRUE(run_.start(level_, "pusher_0.on(false)"));
    ASSERT_TRUE(run_.frame(level_, "pusher_0.on(true)").stepped);
    EXPECT_TRUE(pusher_->on) << "the first chunk's actions come before the frame's own";
}

// Line k of the player's code is line k + (devices with a table) of the
// program; belts add no line.
TEST_F(RunTest, FailuresNameTheirLineAndStopTheFrameBeforeTheStep) {
    place<DeviceConveyer>(level_, 10, 10, true, 3, DIR_RIGHT, 10);
    place<DevicePusher>(level_, 2, 2, false, DIR_UP)->give_name(1);
    EXPECT_FALSE(run_.start(level_, "pusher_0.on(true)\nif then"));
    EXPECT_EQ(run_.error().rfind("[string \"FIRST TIME\"]:4:", 0), 0u) << run_.error();
    EXPECT_FALSE(pusher_->on);
    ASSERT_TRUE(run_.start(level_, ""));
    FrameResult failed = run_.frame(level_, "pusher_0.on(true)\nerror('jammed')");
    EXPECT_TRUE(failed.failed);
    EXPECT_FALSE(failed.stepped);
    EXPECT_EQ(run_.error(), "[string \"EVERY TIME\"]:4: jammed");
    EXPECT_TRUE(pusher_->on) << "queued before the failure";
    EXPECT_EQ(level_.ticks, 0);
    EXPECT_TRUE(run_.frame(level_, "action('pusher_7', 'on', 0)\nerror('jammed')").failed);
    EXPECT_EQ(run_.error(), "device not found: pusher_7") << "the missing device's message wins";
    EXPECT_TRUE(run_.frame(level_, "").stepped);
    EXPECT_EQ(run_.error(), "");
}

TEST_F(RunTest, GlobalsLastForOneRun) {
    const std::string count = "n = n + 1\nif n == 3 then error('third') end";
    ASSERT_TRUE(run_.start(level_, "n = 1"));
    EXPECT_TRUE(run_.frame(level_, count).stepped);
    EXPECT_TRUE(run_.frame(level_, count).failed);
    ASSERT_TRUE(run_.start(level_, ""));
    EXPECT_TRUE(run_.frame(level_, count).failed) << "a new start is a new Lua state";
    EXPECT_EQ(run_.error(), "[string \"EVERY TIME\"]:2: attempt to perform arithmetic on global 'n' (a nil value)");
}

// The win test sees the floor as the previous frame's step left it: won,
// the frame still runs and steps, unless the caller stops there.
TEST_F(RunTest, WinTestComesFirstInEveryFrame) {
    level_.catchers.push_back(std::make_unique<Catcher>(10, 10, 1, 1, "R"));
    ASSERT_TRUE(run_.start(level_, ""));
    EXPECT_FALSE(run_.frame(level_, "").won);
    level_.catchers[0]->remaining = 0;
    FrameResult go_on = run_.frame(level_, "pusher_0.on(true)");
    EXPECT_TRUE(go_on.won);
    EXPECT_TRUE(go_on.stepped);
    EXPECT_TRUE(pusher_->extended);
    FrameResult stop = run_.frame(level_, "pusher_0.on(false)", AtWin::stop);
    EXPECT_TRUE(stop.won);
    EXPECT_FALSE(stop.stepped || stop.failed);
    EXPECT_EQ(level_.ticks, 2);
    EXPECT_TRUE(pusher_->on) << "a stopped frame runs no program";
}

// Real devices through real Lua: the sensor answers for the floor as the
// previous step left it, the grabber reads last frame's claw row.
TEST(RunDevices, SensorAndGrabberReadTheFloorOfThePreviousStep) {
    Level level;
    place<DeviceSensor>(level, 5, 5, false, DIR_UP)->give_name(0);
    DeviceIndicator* lamp = place<DeviceIndicator>(level, 9, 9, false, 255, 0, 0);
    lamp->give_name(0);
    DeviceGrabber* grabber = place<DeviceGrabber>(level, 12, 2, false, 18, true);
    grabber->give_name(0);
    level.spawners.push_back(std::make_unique<Spawner>(5, 4, 'G', 2));
    ::Run run;
    ASSERT_TRUE(run.start(level, "grabber_0.move_to(3.7)"));
    const std::string code = "indicator_0.on(sensor_0.read()) seen = grabber_0.read()";
    std::vector<bool> lit;
    for (int frame = 0; frame < 8; ++frame) {
        ASSERT_TRUE(run.frame(level, code).stepped) << run.error();
        lit.push_back(lamp->lit);
    }
    EXPECT_EQ(lit, (std::vector<bool>{false, false, true, true, true, true, true, true}));
    EXPECT_EQ(grabber->position, 3);
    ASSERT_TRUE(run.frame(level, "if seen ~= 3 then error('read ' .. tostring(seen)) end").stepped) << run.error();
}
