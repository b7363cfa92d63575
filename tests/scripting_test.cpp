// The player's program driving devices: the Lua function `action`, the queue,
// dispatch by name, chunk names and line numbers, and the engine's lifetime.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "level/level.h"
#include "scripted_device.h"
#include "scripting/program.h"
#include "scripting/scripting_engine.h"

namespace {

class Scripting : public testing::Test {
protected:
    Level level;
    ScriptingEngine script;

    // The start of a run: tables plus the initialization code, no dispatch.
    void start(const std::string& code) { script.run_code(assemble_program(&level, code).c_str(), "FIRST TIME"); }
    // One simulation frame's program run and dispatch.
    void frame(const std::string& code) {
        script.run_code(assemble_program(&level, code).c_str(), "EVERY TIME");
        level.parse_actions(&script);
    }
    bool queue_empty() const {
        return script.action_names.empty() && script.action_verbs.empty() && script.action_args.empty();
    }
};

TEST_F(Scripting, ActionsReachTheDeviceInCallOrder) {
    ScriptedDevice* pusher = add_scripted_device(level, "pusher_0");
    frame("pusher_0.on(true)\npusher_0.on(false)\npusher_0.on(0)");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(pusher->received, (Received{{"on", 0}, {"off", 0}, {"on", 0}}));
    EXPECT_TRUE(queue_empty());
    EXPECT_EQ(lua_gettop(script.lua), 0);
}

TEST_F(Scripting, AChunkWithoutActionsDispatchesNothing) {
    ScriptedDevice* pusher = add_scripted_device(level, "pusher_0");
    frame("-- Every-cycle Code Goes Here");
    EXPECT_FALSE(script.error);
    EXPECT_TRUE(pusher->received.empty());
}

TEST_F(Scripting, EveryDeviceBearingTheNameReceivesTheActionInListOrder) {
    std::vector<std::string> log;
    ScriptedDevice* first = add_scripted_device(level, "twin");
    ScriptedDevice* other = add_scripted_device(level, "other");
    ScriptedDevice* second = add_scripted_device(level, "twin");
    for (ScriptedDevice* d : {first, other, second})
        d->log = &log;
    frame("twin.on(1) other.on(nil)");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(log, (std::vector<std::string>{"twin:on", "twin:on", "other:off"}));
}

TEST_F(Scripting, NamesMatchExactlyAndCaseSensitively) {
    add_scripted_device(level, "pusher_0");
    frame("action('Pusher_0','on',0)");
    EXPECT_EQ(script.error, "device not found: Pusher_0");
    frame("action('pusher_0 ','on',0)");
    EXPECT_EQ(script.error, "device not found: pusher_0 ");
}

TEST_F(Scripting, UnknownNameStopsDeliveryAndClearsTheQueue) {
    ScriptedDevice* pusher = add_scripted_device(level, "pusher_0");
    frame("pusher_0.on(true)\naction('pusher_7','on',0)\npusher_0.on(false)");
    EXPECT_EQ(script.error, "device not found: pusher_7");
    EXPECT_EQ(pusher->received, (Received{{"on", 0}}));
    EXPECT_TRUE(queue_empty());
    // The dropped actions are gone for good: the next frame starts afresh.
    frame("");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(pusher->received.size(), 1u);
}

TEST_F(Scripting, EmptyNameMatchesDevicesWithoutNames) {
    frame("action('','x',1)");
    EXPECT_EQ(script.error, "device not found: ");
    ScriptedDevice* belt = add_scripted_device(level, "", false);
    frame("action('','x',1)");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(belt->received, (Received{{"x", 1}}));
}

TEST_F(Scripting, InitializationActionsAreDeliveredAheadOfTheFirstFrame) {
    ScriptedDevice* grabber = add_scripted_device(level, "grabber_0");
    start("grabber_0.move_to(4)");
    EXPECT_FALSE(script.error);
    EXPECT_TRUE(grabber->received.empty()) << "no dispatch after the first chunk";
    ASSERT_EQ(script.action_names.size(), 1u);
    frame("grabber_0.move_to(9)");
    EXPECT_EQ(grabber->received, (Received{{"move_to", 4}, {"move_to", 9}}));
}

TEST_F(Scripting, ActionsBeforeARunTimeErrorAreStillDelivered) {
    ScriptedDevice* pusher = add_scripted_device(level, "pusher_0");
    frame("pusher_0.on(true)\nerror('jammed')\npusher_0.on(false)");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:3: jammed");
    EXPECT_EQ(pusher->received, (Received{{"on", 0}}));
    // The dispatch's message replaces Lua's: the engine holds one.
    frame("action('nobody','on',0)\nerror('jammed')");
    EXPECT_EQ(script.error, "device not found: nobody");
}

TEST_F(Scripting, ArgumentIsTruncatedTowardZero) {
    ScriptedDevice* grabber = add_scripted_device(level, "grabber_0");
    frame("grabber_0.move_to(3.7) grabber_0.move_to(-2.9) grabber_0.move_to(nil)\n"
          "grabber_0.move_to('5') grabber_0.move_to('abc') grabber_0.move_to({})\n"
          "grabber_0.move_to(' 12.9 ') grabber_0.move_to(0x10)");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(grabber->received,
              (Received{{"move_to", 3}, {"move_to", -2}, {"move_to", 0}, {"move_to", 5}, {"move_to", 0},
                        {"move_to", 0}, {"move_to", 12}, {"move_to", 16}}));
}

TEST_F(Scripting, ArgumentsBeyondIntAreClampedAndNaNIsZero) {
    ScriptedDevice* grabber = add_scripted_device(level, "grabber_0");
    frame("grabber_0.move_to(1e20) grabber_0.move_to(-1e20) grabber_0.move_to(0/0) grabber_0.move_to(1/0)");
    EXPECT_FALSE(script.error);
    EXPECT_EQ(grabber->received,
              (Received{{"move_to", INT_MAX}, {"move_to", INT_MIN}, {"move_to", 0}, {"move_to", INT_MAX}}));
}

TEST_F(Scripting, ActionTakesItsLastThreeArgumentsAndAnswersZero) {
    ScriptedDevice* device = add_scripted_device(level, "12", false);
    frame("if action('x', 'y', 12, 3.5, 7) ~= 0 then error('answer') end\n"
          "action(12, 1.5, 2)");
    EXPECT_FALSE(script.error);
    // Numbers as name and verb are taken in their Lua text form.
    EXPECT_EQ(device->received, (Received{{"3.5", 7}, {"1.5", 2}}));
}

TEST_F(Scripting, BrokenActionCallsRaiseErrorsAndQueueNothing) {
    add_scripted_device(level, "pusher_0");
    struct Case {
        const char* code;
        const char* message;
    } cases[] = {
        {"action('pusher_0','on')", "action needs three arguments (device name, verb, number), got 2"},
        {"action()", "action needs three arguments (device name, verb, number), got 0"},
        {"action(nil,'on',0)", "action: the device name must be a text, not nil"},
        {"action('pusher_0',true,0)", "action: the verb must be a text, not boolean"},
        {"action({},'on',0)", "action: the device name must be a text, not table"},
        {"action('pusher_0',print,0)", "action: the verb must be a text, not function"},
    };
    for (const Case& c : cases) {
        script.run_code((std::string("action('pusher_0','on',0)\n") + c.code).c_str(), "EVERY TIME");
        EXPECT_EQ(script.error, std::string("[string \"EVERY TIME\"]:2: ") + c.message) << c.code;
        EXPECT_EQ(script.action_names, (std::vector<std::string>{"pusher_0"})) << c.code;
        script.clear_actions();
    }
}

TEST_F(Scripting, ErrorLinesCountTheTableLinesInFront) {
    for (const char* name : {"pusher_0", "pusher_1", "pusher_2"})
        add_scripted_device(level, name);
    add_scripted_device(level, "", false);
    frame("pusher_0.on(true)\nx = = 1");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:5: unexpected symbol near '='");
    EXPECT_TRUE(queue_empty()) << "a chunk that does not compile runs nothing";
    start("\n\nlocal n = nil + 1");
    EXPECT_EQ(script.error, "[string \"FIRST TIME\"]:6: attempt to perform arithmetic on a nil value");
    frame("error(42)");
    EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:4: 42");
}

TEST_F(Scripting, ErrorValuesWithoutTextCountAsSuccess) {
    for (const char* code : {"error({})", "error(nil)", "error()", "error(true)"}) {
        script.run_code("error('first')", "EVERY TIME");
        ASSERT_TRUE(script.error);
        script.run_code(code, "EVERY TIME");
        EXPECT_FALSE(script.error) << code;
        EXPECT_EQ(lua_gettop(script.lua), 0);
    }
}

TEST_F(Scripting, TablesAreAssembledAfreshForEveryChunk) {
    ScriptedDevice* sensor = add_scripted_device(level, "sensor_0");
    ScriptedDevice* lamp = add_scripted_device(level, "lamp");
    const char* code = "lamp.move_to(sensor_0.read())";
    sensor->reading = 7;
    frame(code);
    sensor->reading = 11;
    frame(code);
    EXPECT_EQ(lamp->received, (Received{{"move_to", 7}, {"move_to", 11}}));
    EXPECT_EQ(assemble_program(&level, "go()").substr(0, 9), "sensor_0 ");
}

TEST(ScriptingRun, GlobalsLastForTheRunAndVanishWithTheEngine) {
    Level level;
    ScriptedDevice* counter = add_scripted_device(level, "counter");
    const char* every = "n = n + 1 counter.move_to(n)";
    {
        ScriptingEngine script;
        script.run_code("n = 10", "FIRST TIME");
        for (int i = 0; i < 3; ++i) {
            script.run_code(assemble_program(&level, every).c_str(), "EVERY TIME");
            level.parse_actions(&script);
        }
        EXPECT_FALSE(script.error);
    }
    EXPECT_EQ(counter->received, (Received{{"move_to", 11}, {"move_to", 12}, {"move_to", 13}}));
    ScriptingEngine next;
    next.run_code(every, "EVERY TIME");
    EXPECT_EQ(next.error, "[string \"EVERY TIME\"]:1: attempt to perform arithmetic on global 'n' (a nil value)");
}

TEST(ScriptingRun, EnginePointerFollowsTheNewestEngineAndNeverGoesStale) {
    EXPECT_EQ(engine, nullptr);
    auto first = std::make_unique<ScriptingEngine>();
    EXPECT_EQ(engine, first.get());
    auto second = std::make_unique<ScriptingEngine>();
    EXPECT_EQ(engine, second.get());
    first->run_code("action('a','b',1)", "EVERY TIME");
    EXPECT_EQ(first->error, "[string \"EVERY TIME\"]:1: action: this program's run has ended");
    EXPECT_TRUE(second->action_names.empty()) << "a replaced engine must not queue on the new one";
    first.reset();
    EXPECT_EQ(engine, second.get());
    second->run_code("action('a','b',1)", "EVERY TIME");
    EXPECT_FALSE(second->error);
    // With no engine at all, action fails with a message instead of crashing.
    ScriptingEngine* raw = second.get();
    engine = nullptr;
    raw->run_code("action('a','b',1)", "EVERY TIME");
    EXPECT_EQ(raw->error, "[string \"EVERY TIME\"]:1: action: this program's run has ended");
    second.reset();
    EXPECT_EQ(engine, nullptr);
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
