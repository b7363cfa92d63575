// The run: program assembly, dispatch by name, and the frame order with its
// win test, driven by real Lua. (The campaign runs every kind of device
// through Lua in gearloft-sim.)
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "kinds/converter.h"
#include "kinds/conveyer.h"
#include "kinds/indicator.h"
#include "kinds/pusher.h"
#include "kinds/sensor.h"
#include "run/error_hint.h"
#include "run/measure.h"
#include "run/run.h"
#include "scripting/scripting_engine.h"
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

// One frame's program run and dispatch: the name no device bears, if any.
std::optional<std::string> program(Level& level, ScriptingEngine& script, const std::string& code) {
    script.run_code(assemble_program(level, code).c_str(), "EVERY TIME");
    return parse_actions(level, script);
}
} // namespace

TEST(Dispatch, ReachesEveryNamedDeviceInOrderUntilAnUnknownName) {
    Level level;
    StubDevice* first = scripted(level, "twin");
    StubDevice* other = scripted(level, "other");
    StubDevice* second = scripted(level, "twin");
    ScriptingEngine script;
    EXPECT_EQ(program(level, script, "twin.on(true) twin.on(false) other.on(0)"), std::nullopt);
    EXPECT_EQ(other->received, (Received{{"on", 0}}));
    EXPECT_EQ(program(level, script, "twin.on(true)\naction('nobody','on',0)\ntwin.on(false)"), "nobody");
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
    EXPECT_FALSE(script.error()) << *script.error();
    EXPECT_EQ(grabber->received, (Received{{"move_to", 3}, {"move_to", -2}, {"move_to", 0}, {"move_to", 5},
                                           {"move_to", 0}, {"move_to", INT_MAX}, {"move_to", 0}, {"last", 7}}));
}

class RunTest : public testing::Test {
protected:
    void SetUp() override {
        pusher_ = place<DevicePusher>(level_, 5, 5, Mobility::movable, DIR_RIGHT);
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
    place<DeviceConveyer>(level_, 10, 10, Mobility::fixed, 3, DIR_RIGHT, 10);
    place<DevicePusher>(level_, 2, 2, Mobility::movable, DIR_UP)->give_name(1);
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

// Most frames run the program text of an earlier frame: it keeps the run's
// globals and names its lines as before, and a chunk that gave itself other
// globals with setfenv has the run's again in the next frame.
TEST_F(RunTest, RepeatedProgramsRunWithTheRunsGlobals) {
    const std::string count = "n = n + 1\nif n == 4 then error('fourth') end\nif n == 2 then setfenv(1, {}) end";
    ASSERT_TRUE(run_.start(level_, "n = 1"));
    EXPECT_TRUE(run_.frame(level_, count).stepped);
    EXPECT_TRUE(run_.frame(level_, count).stepped);
    EXPECT_TRUE(run_.frame(level_, count).failed);
    EXPECT_EQ(run_.error(), "[string \"EVERY TIME\"]:3: fourth");
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
    EXPECT_EQ(go_on.steps, 1) << "the step count the win test saw";
    EXPECT_TRUE(go_on.stepped);
    EXPECT_TRUE(pusher_->extended);
    FrameResult stop = run_.frame(level_, "pusher_0.on(false)", AtWin::stop);
    EXPECT_TRUE(stop.won);
    EXPECT_FALSE(stop.stepped || stop.failed);
    EXPECT_EQ(level_.ticks, 2);
    EXPECT_TRUE(pusher_->on) << "a stopped frame runs no program";
}

// Parts: the player's, a belt by its cells; the level's own belts and
// converters are free. Code: Lua tokens, whatever the layout.
TEST(Metrics, PartsAndCodeTokens) {
    Level level;
    place<DeviceConveyer>(level, 0, 0, Mobility::fixed, 8, DIR_RIGHT, 10);
    place<DeviceConverter>(level, 5, 5, Mobility::movable, 'R', 'G');
    EXPECT_EQ(parts_placed(level), 0);
    place<DeviceConveyer>(level, 0, 2, Mobility::movable, 4, DIR_RIGHT, 10);
    place<DevicePusher>(level, 0, 3, Mobility::movable, DIR_UP);
    EXPECT_EQ(parts_placed(level), 5);

    const std::pair<std::string, int> codes[] = {
        {"", 0},
        {"-- Every-cycle Code Goes Here\n", 0},
        {"\n  \t\n--[[ a\nlong = comment ]]\n--[==[ ]] still\n]==]", 0},
        {"a\f=\v1\t", 3}, // form feeds and vertical tabs are space, as in Lua
        {"a = 1 b = 2 pusher_0.on(a == b)", 14},
        {"a = 1\r\n\r\nb = 2 -- note\r\n", 6},
        {"if not x then return end", 6},
        {"s = '--' .. \"--[[\" -- a comment", 5},
        {"t = [==[ ]] ]=] ]==] .. [[x]=]]", 5},
        {"[[ ]=]] x", 2}, // a closing bracket tried at the end of a wrong one
        {"--[=[ ]] ]=] x --[ not long\ny", 2},
        {"u = 'it\\'s' .. \"a\\\"b\" .. 'c\\\nd' .. 'e\\\r\nf'", 9},
        {"0x1F+3e-2-.5 0xE+1 1E+1", 9},          // 0x1F + 3e-2 - .5 0xE + 1 1E+1
        {"1..2 1 .. 2 f(...)", 8},               // 1..2 is one malformed number, as Lua reads it
        {"a<=b>=c~=d==e=f~g", 13},               // each two-character operator is one
        {"x = 'open\ny = [==[ never closed", 6}, // a string ends at its line's end
        {"z = \"open", 3},
        {"s = 'a\\", 3},
        {"--[[ never closed\nx = 1", 0},
        {std::string("[=x @\0", 6), 5}, // stray characters count one each
    };
    for (const auto& [code, tokens] : codes)
        EXPECT_EQ(code_tokens(code), tokens) << code;
    Metrics metrics = measure_win(level, 41, "a = 1\n", "b = 2\n-- c\n");
    EXPECT_EQ(metrics, (Metrics{41, 5, 6}));
}

// The console's lines: what the program printed within the run's output
// budget, the last lines only, each of bounded length, the line still being
// printed last, and the notice once the budget is spent; a new start begins
// afresh.
TEST_F(RunTest, PrintedLinesAreTheBoundedTailOfTheOutput) {
    EXPECT_TRUE(run_.printed().empty());
    ASSERT_TRUE(run_.start(level_, "for i = 1, 100 do print('line', i) end io.write('open')"));
    std::vector<std::string> lines = run_.printed();
    ASSERT_EQ(lines.size(), OutputTail::LINES_KEPT + 1);
    EXPECT_EQ(lines.front(), "line\t" + std::to_string(100 - OutputTail::LINES_KEPT + 1));
    EXPECT_EQ(lines.back(), "open");
    ASSERT_FALSE(run_.frame(level_, "io.write(('x'):rep(40000), ('x'):rep(30000)) print('gone')").failed);
    lines = run_.printed();
    EXPECT_EQ(lines[lines.size() - 2], "open" + std::string(OutputTail::LINE_LENGTH_MAX - 4, 'x'));
    EXPECT_EQ(lines.back().rfind("[the program printed more than 65536 bytes; the rest", 0), 0u) << lines.back();
    ASSERT_TRUE(run_.start(level_, "print(1)"));
    EXPECT_EQ(run_.printed(), std::vector<std::string>{"1"});
}

// The hint under an error speaks of the player's own boxes and lines (the
// parts' table lines in front taken off, as the run recorded them where the
// error happened) and of the parts on the floor.
TEST_F(RunTest, ErrorHintsNameTheBoxTheLineAndThePartsOfAKind) {
    place<DeviceConveyer>(level_, 10, 10, Mobility::fixed, 3, DIR_RIGHT, 10); // no table, no line
    for (int n : {1, 0})
        place<DeviceSensor>(level_, 3 + n, 3, Mobility::movable, DIR_UP)->give_name(n);
    // Each program fails at its start, or else in its first frame.
    auto hint = [this](const std::string& init, const std::string& cycle) {
        if (run_.start(level_, init)) {
            EXPECT_TRUE(run_.frame(level_, cycle).failed) << cycle;
        }
        return error_hint(run_.failure(), level_);
    };
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"x = 1\nlamp_0.on(true)", "",
         "Line 2 of your initialization code. Lamps are named indicator_N in programs; there is no lamp on the floor."},
        {"", "\nsensor_3()", "Line 2 of your every-cycle code. No sensor_3: the sensors here are sensor_0, sensor_1."},
        {"function jam()\n  error('jammed')\nend", "jam()", "Line 2 of your initialization code."},
        {"", "action = nil\npusher_0.on(true)", "In the Lua table of pusher_0, called from your every-cycle code."},
        {"", "action('pusher_7', 'on', 0)", "No pusher_7: the pusher here is pusher_0."},
        {"", "x = 1\n\n\n\n\nx = Sensor.read()",
         "Line 6 of your every-cycle code. Sensors are named sensor_N: the sensors here are sensor_0, sensor_1."},
        {"", "action('belt_2', 'on', 0)", "Belts and converters take no orders: programs have no names for them."},
        {"", "action('sensor_x', 'on', 0)", ""},
        {"", "pusher_0 = nil\npusher_0.on(true)", "Line 2 of your every-cycle code."}, // it is there
        {"", "error(select(2, loadstring('x = = 1')), 0)", ""}, // a chunk of the program's own making
        {"", "error('[string \"EVERY TIME\"]:99999999999: huge', 0)", ""},
        {"", "error(\"attempt to index global 'grabber_1\\1' (a nil value)\", 0)", ""},
        // Texts that end too early: the unclosed opener's line, or the box's last one, never the line past it.
        {"", "n = n or 0\nn = n + 1\npusher_0.on(n % 10 == 0\n", "Line 3 of your every-cycle code."},
        {"x = {\n\n", "", "Line 1 of your initialization code."},
        {"x = 1\ny =\n\n  \n", "", "Line 2 of your initialization code."}};
    for (auto [init, cycle, said] : cases)
        EXPECT_EQ(hint(init, cycle), said) << init << cycle;
    // A 13-line box with a while left open on line 5, or on its last line.
    for (int open_at : {5, 13}) {
        std::string box;
        for (int line = 1; line <= 13; ++line)
            box += line == open_at ? "while n < 3 do\n" : "n = 1\n";
        EXPECT_EQ(hint("", box), "Line " + std::to_string(open_at) + " of your every-cycle code.") << box;
    }
    for (int n = 2; n < 40; ++n)
        place<DeviceIndicator>(level_, 0, 0, Mobility::movable, 0, 0, 255)->give_name(n);
    std::string many = hint("", "error('[string \"EVERY TIME\"]:1000000: attempt to index global \\'light_9\\' ' .. "
                                "string.rep('\\n', 60000), 0)");
    EXPECT_EQ(many.rfind("Line 999959 of your every-cycle code. Lamps are named indicator_N in programs: here "
                         "indicator_2, indicator_3, indicator_4, indicator_5, indicator_6, indicator_7, ...",
                         0),
              0u)
        << many;
    EXPECT_LE(many.size(), HINT_MAX);
    ::Run never_started;
    EXPECT_FALSE(never_started.frame(level_, "").stepped);
    EXPECT_EQ(error_hint(never_started.failure(), level_), "");
}
