// The game's screens driven by queued events: the level loop's runs and
// message screens, building on the floor, the level list, the parts bin's
// buttons, the file chooser and start-up without a display. (tests/e2e
// plays them in a real window.)
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <numeric>
#include <optional>

#include "editorgui/edit_history.h"
#include "files/describe.h"
#include "files/device_record.h"
#include "files/save_file.h"
#include "kinds/conveyer.h"
#include "kinds/pusher.h"
#include "partsbin/parts_bin.h"
#include "screens/dropping.h"
#include "screens/fatal_message.h"
#include "screens/file_chooser.h"
#include "screens/level_list.h"
#include "screens/level_list_rows.h"
#include "screens/level_loop.h"
#include "screens/message_screens.h"
#include "support.h"
#include "toolkit/present.h"

namespace {
void push_quit() { push_event(SDL_Event{SDL_QUIT}); }

// A level with one red catcher next to a spawner, so a run delivers by
// itself, and a stand-in device counting its steps.
class LoopTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        level_.catchers.push_back(std::make_unique<Catcher>(10, 10, 1, 1, "R"));
        level_.spawners.push_back(std::make_unique<Spawner>(11, 11, 'R', 3));
        place<StubDevice>(level_)->on_tick = [this](Level*) { ++device_ticks_; };
        loop_ = std::make_unique<LevelLoop>(&info_, &level_);
    }
    void TearDown() override {
        loop_.reset();
        WindowTest::TearDown();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(loop_->step());
    }
    // A frame whose work shows a message screen, its answer queued first.
    void answered_frame(Uint8 button = SDL_BUTTON_LEFT) {
        LoopMode frame_mode = loop_->mode();
        push_click(5, 5, button);
        loop_->frame_work(frame_mode);
    }
    void press(int x, int y) { loop_->handle_event(mouse_event(SDL_MOUSEBUTTONDOWN, x, y), loop_->mode()); }
    void release(int x, int y) { loop_->handle_event(mouse_event(SDL_MOUSEBUTTONUP, x, y), loop_->mode()); }
    // An upward pusher from page 3 of the bin (grab offset 9, 2) let go at (x, y).
    void new_pusher_at(int x, int y) {
        loop_->handle_event(key_event(SDLK_3), LoopMode::construction);
        press(650 + 59, 52);
        release(x, y);
    }
    Device* device(size_t i) { return level_.devices.at(i).get(); }

    Level level_;
    int device_ticks_ = 0;
    std::unique_ptr<LevelLoop> loop_;
};
} // namespace

TEST_F(LoopTest, RunsStartAndStopAfterTheStoppingFramesStep) {
    push_click(453, 560, SDL_BUTTON_RIGHT);
    frames(1);
    EXPECT_EQ(loop_->mode(), LoopMode::construction) << "only the left button counts while building";
    const std::vector<std::function<void()>> starts = {[] { push_key(SDLK_SPACE); }, [] { push_click(617, 587); }};
    const std::vector<std::function<void()>> stops = {[] { push_key(SDLK_ESCAPE); }, [] { push_key(SDLK_SPACE); },
                                                      [] { push_click(500, 570, SDL_BUTTON_MIDDLE); }, push_quit};
    for (size_t i = 0; i < stops.size(); ++i) {
        starts[i % 2]();
        frames(4);
        ASSERT_EQ(loop_->mode(), LoopMode::simulation);
        ASSERT_EQ(level_.ticks, 3) << "the frame that started the run did not step";
        int ticks_before = device_ticks_;
        stops[i]();
        frames(1);
        EXPECT_EQ(device_ticks_, ticks_before + 1) << "the stopping frame still steps";
        EXPECT_EQ(loop_->mode(), LoopMode::construction);
        EXPECT_EQ(level_.ticks, 0);
        EXPECT_FALSE(level_.has_block(11, 11)) << "the floor was reset";
    }
}

TEST_F(LoopTest, ProgramErrorsStopTheRunWithoutAStep) {
    loop_->set_program("x = = 1", "");
    push_key(SDLK_SPACE);
    push_click(5, 5); // dismisses the error screen
    frames(1);
    EXPECT_EQ(loop_->mode(), LoopMode::construction);
    EXPECT_EQ(pending_events(), 0);
    for (auto [code, good_frames] : {std::pair{"n = (n or 0) + 1 if n == 4 then error('boom') end", 3},
                                     {"action('pusher_7', 'on', 0)", 0}}) {
        loop_->set_program("", code);
        push_key(SDLK_SPACE);
        frames(1 + good_frames);
        int ticks_before = device_ticks_;
        answered_frame();
        EXPECT_EQ(pending_events(), 1) << "only the press was taken";
        SDL_Event release;
        SDL_PollEvent(&release);
        EXPECT_EQ(device_ticks_, ticks_before) << code;
        EXPECT_EQ(loop_->mode(), LoopMode::construction);
        EXPECT_FALSE(level_.has_block(11, 11)) << "the floor was cleared";
    }
}

// The first click into a box that holds only its placeholder comment puts
// the caret on a fresh line below it; code texts keep every byte, zero
// bytes too.
TEST_F(LoopTest, EditorOpensBelowThePlaceholderAndKeepsEveryByte) {
    level_.init_code = "-- Initialization Code Goes Here\n";
    level_.cycle_code = std::string("n = 1\0 n = 2\nx\n", 15);
    loop_ = std::make_unique<LevelLoop>(&info_, &level_);
    push_key(SDLK_TAB);
    frames(1);
    push_click(40, 57);
    push_text("n = 0");
    push_click(400, 72); // no second fresh line: the caret goes to the click
    push_text("1");
    push_click(40, 227); // not a placeholder
    push_key(SDLK_ESCAPE);
    frames(1);
    ASSERT_EQ(loop_->mode(), LoopMode::construction);
    EXPECT_EQ(loop_->init_code(), "-- Initialization Code Goes Here\nn = 01\n");
    EXPECT_EQ(loop_->cycle_code(), *level_.cycle_code);
}

// Shift with the arrows, Home and End selects, typing replaces the selection;
// cut, copy and paste go through the game's clipboard; undo and redo walk
// the edits back and forth, a run of typed letters as one step.
TEST_F(LoopTest, EditorSelectsCutsPastesUndoesAndRedoes) {
    loop_->set_program("", "alpha beta\ngamma\n");
    auto key = [](SDLKey k, SDLMod mod = KMOD_NONE, Uint16 unicode = 0) {
        SDL_Event event = key_event(k, unicode);
        event.key.keysym.mod = mod;
        push_event(event);
    };
    // Ctrl with a letter arrives as a control character or as the letter.
    auto ctrl = [&](char letter, SDLMod more = KMOD_NONE) {
        key(static_cast<SDLKey>(letter), SDLMod(KMOD_LCTRL | more), letter == 'v' ? 'v' : letter - 'a' + 1);
    };
    auto cycle_after = [&](const std::function<void()>& keys) {
        push_key(SDLK_TAB);
        frames(1);
        push_click(25, 225);
        keys();
        push_key(SDLK_ESCAPE);
        frames(2);
        return loop_->cycle_code();
    };
    EXPECT_EQ(cycle_after([&] {
                  key(SDLK_HOME);
                  for (int i = 0; i < 4; ++i)
                      key(SDLK_RIGHT, KMOD_LSHIFT);
                  push_text("b");
                  key(SDLK_END, KMOD_RSHIFT);
                  push_key(SDLK_BACKSPACE);
              }),
              "b\ngamma\n");
    EXPECT_EQ(cycle_after([&] {
                  ctrl('z');
                  push_text("XY");
                  key(SDLK_DOWN, KMOD_LSHIFT);
                  ctrl('c');
                  key(SDLK_END);
                  ctrl('v');
              }),
              "ba betaXY\ngamma\ngamma\n");
    EXPECT_EQ(cycle_after([&] {
                  ctrl('z'); // the paste
                  ctrl('z'); // "XY" at once
              }),
              "ba beta\ngamma\n");
    EXPECT_EQ(cycle_after([&] {
                  for (int i = 0; i < 4; ++i)
                      ctrl('z');
              }),
              "alpha beta\ngamma\n")
        << "no further back than the text put in";
    EXPECT_EQ(cycle_after([&] {
                  ctrl('y');
                  ctrl('z', KMOD_LSHIFT);
                  ctrl('y');
                  ctrl('y'); // nothing left to redo
                  ctrl('a');
                  ctrl('x');
              }),
              "\n");
    EXPECT_EQ(cycle_after([&] {
                  ctrl('v');
                  ctrl('v');
              }),
              "ba betaXY\ngamma\ngammaba betaXY\ngamma\ngamma\n");
    EXPECT_EQ(cycle_after([&] {
                  ctrl('z');
                  ctrl('z');
                  ctrl('z');
              }),
              "ba betaXY\ngamma\ngamma\n");
    EXPECT_EQ(cycle_after([&] {
                  ctrl('v');
                  key(SDLK_HOME); // the pasted lines are rows of their own
                  push_text("Z");
              }),
              "ba betaXY\ngamma\nZgammaba betaXY\ngamma\ngamma\n");
}

// The history keeps a bounded number of steps and bytes, the oldest going
// first, and a new edit ends what could be redone.
TEST(EditHistory, BoundedInStepsAndBytes) {
    EditHistory history;
    for (int i = 0; i < 150; ++i)
        history.record({std::to_string(i), 0, i});
    EXPECT_EQ(history.undo_steps(), EditHistory::STEPS_MAX);
    std::optional<TextState> back;
    for (std::size_t i = 0; i < EditHistory::STEPS_MAX; ++i)
        back = history.undo({"now", 0, 0});
    EXPECT_EQ(back->text, "50");
    EXPECT_FALSE(history.undo({"now", 0, 0}));
    EXPECT_EQ(history.redo({"x", 0, 0})->text, "now");
    history.record({"y", 1, 2});
    EXPECT_FALSE(history.redo({"z", 0, 0}));
    std::string big(EditHistory::BYTES_MAX / 2 + 1, 'b');
    for (int i = 0; i < 3; ++i)
        history.record({big, 0, i});
    EXPECT_EQ(history.undo_steps(), 1u);
    EXPECT_EQ(history.undo({"", 0, 0})->column, 2);
}

// S starts a run that stands still; each S runs one whole frame, Space goes
// on at full pace, and what stops a run stops it without another step. In a
// run at full pace S does nothing.
TEST_F(LoopTest, StepByStepRunsOneFrameForEachS) {
    const std::vector<std::function<void()>> stops = {[] { push_key(SDLK_ESCAPE); }, push_quit,
                                                      [] { push_click(500, 570, SDL_BUTTON_RIGHT); }};
    for (const auto& stop : stops) {
        push_key(SDLK_s);
        frames(4);
        ASSERT_EQ(loop_->mode(), LoopMode::simulation);
        EXPECT_EQ(level_.ticks + device_ticks_, 0) << "nothing moves before the first S";
        push_key(SDLK_s);
        frames(3);
        EXPECT_EQ(level_.ticks, 1);
        push_key(SDLK_s);
        push_key(SDLK_s);
        frames(3);
        EXPECT_EQ(level_.ticks, 3) << "two presses in one frame: two frames";
        stop();
        frames(1);
        EXPECT_EQ(device_ticks_, 3);
        EXPECT_EQ(loop_->mode(), LoopMode::construction);
        EXPECT_EQ(level_.ticks, 0);
        device_ticks_ = 0;
    }
    push_key(SDLK_s);
    frames(1);
    push_key(SDLK_s);
    push_key(SDLK_SPACE);
    frames(3);
    EXPECT_FALSE(loop_->paused());
    EXPECT_EQ(level_.ticks, 3);
    push_key(SDLK_s);
    frames(2);
    EXPECT_EQ(level_.ticks, 5) << "S does not pause a run at full pace";
    push_key(SDLK_SPACE);
    frames(1);
    EXPECT_EQ(loop_->mode(), LoopMode::construction);
}

// Stepping to the end wins as a run at full pace does, and the level is reset.
TEST_F(LoopTest, StepByStepEndsInTheWinScreen) {
    push_key(SDLK_s);
    frames(1);
    while (level_.catchers[0]->remaining > 0) {
        push_key(SDLK_s);
        frames(1);
    }
    int ticks = level_.ticks;
    frames(3);
    EXPECT_EQ(level_.ticks, ticks);
    loop_->handle_event(key_event(SDLK_s), LoopMode::simulation);
    answered_frame();
    EXPECT_EQ(loop_->mode(), LoopMode::construction);
    EXPECT_EQ(level_.catchers[0]->remaining, 5);
    EXPECT_FALSE(loop_->paused());
}

// A frame that shows what the last one showed sends nothing to the display,
// a step only what changed. A paused run names one state: its sign covers
// the RUNNING plate, which shows again at full pace.
TEST_F(LoopTest, UnchangedFramesSendNothingAndAPausedRunSaysSo) {
    auto plate_word = [&] {
        std::vector<Uint32> pixels;
        for (int y = 18; y < 44; ++y)
            for (int x = 672; x < 780; ++x)
                pixels.push_back(pixel_at(info_.screen, x, y));
        return pixels;
    };
    frames(2);
    std::uint64_t sent = presented_pixels();
    frames(3);
    EXPECT_EQ(presented_pixels(), sent) << "building, nothing changed";
    // Such a frame is not even drawn: a mark on the parts bin stays until
    // input comes.
    Uint32 drawn = pixel_at(info_.screen, 700, 60);
    Uint32 mark = ~drawn & 0xffff;
    SDL_Rect spot{700, 60, 1, 1};
    SDL_FillRect(info_.screen, &spot, mark);
    frames(3);
    EXPECT_EQ(pixel_at(info_.screen, 700, 60), mark) << "an idle building frame draws nothing";
    push_event(mouse_event(SDL_MOUSEMOTION, 10, 10));
    frames(1);
    EXPECT_EQ(pixel_at(info_.screen, 700, 60), drawn) << "input draws the frame";
    sent = presented_pixels();
    push_key(SDLK_s);
    frames(2);
    std::vector<Uint32> paused = plate_word();
    sent = presented_pixels();
    frames(3);
    EXPECT_EQ(presented_pixels(), sent) << "paused, nothing changed";
    push_key(SDLK_s);
    frames(1);
    EXPECT_GT(presented_pixels(), sent);
    EXPECT_LT(presented_pixels() - sent, 800u * 600 / 4) << "a step sends what changed";
    push_key(SDLK_SPACE);
    frames(1);
    std::vector<Uint32> running = plate_word();
    EXPECT_GT(std::inner_product(paused.begin(), paused.end(), running.begin(), 0, std::plus<>(),
                                 std::not_equal_to<>()),
              200)
        << "PAUSED, then RUNNING";
}

// The win screen appears at the start of the frame after the last delivery;
// that frame still runs the program and steps once more, then resets. The
// machine as it won is measured into the records.
TEST_F(LoopTest, WinScreenComesTheFrameAfterTheLastDelivery) {
    ScratchDir dir;
    Records records(dir.path() + "/records.txt");
    loop_.reset(); // one editor at a time
    loop_ = std::make_unique<LevelLoop>(&info_, &level_, Par(), &records);
    level_.level_name = "loop.lvl";
    loop_->set_program("", "-- count\nn = (n or 0) + 1");
    push_key(SDLK_SPACE);
    frames(1);
    while (level_.catchers[0]->remaining > 0)
        frames(1);
    EXPECT_EQ(loop_->mode(), LoopMode::simulation);
    int ticks_before = device_ticks_;
    int steps = level_.ticks;
    answered_frame(SDL_BUTTON_WHEELDOWN); // any button dismisses it
    EXPECT_EQ(device_ticks_, ticks_before + 1);
    EXPECT_EQ(loop_->mode(), LoopMode::construction);
    EXPECT_EQ(level_.catchers[0]->remaining, 5);
    EXPECT_EQ(dir.read("records.txt"),
              "# Gearloft bests: steps parts code-tokens level\n" + std::to_string(steps) + " 1 9 loop.lvl\n");
}

// At 1x every step is shown (its step counter at least changes).
TEST_F(LoopTest, EveryStepAtNormalSpeedIsShown) {
    push_key(SDLK_SPACE);
    frames(2);
    for (int step = 2; step < 5; ++step) {
        std::uint64_t sent = presented_pixels();
        frames(1);
        EXPECT_EQ(level_.ticks, step);
        EXPECT_GT(presented_pixels(), sent) << "step " << step;
    }
}

// F cycles the speed while a run goes: 4 and 16 frames for each picture,
// then as many as the time allows, then 1 again; a win ends a picture's
// frames with the win card, as at 1x. C opens and closes the console, in a
// run and while building.
TEST_F(LoopTest, FastForwardRunsSeveralFramesForEachPictureAndCTogglesTheConsole) {
    push_key(SDLK_SPACE);
    frames(2);
    EXPECT_EQ(level_.ticks, 1);
    push_key(SDLK_f);
    push_key(SDLK_c);
    frames(1);
    EXPECT_EQ(level_.ticks, 5);
    EXPECT_TRUE(loop_->console_open());
    loop_->handle_event(key_event(SDLK_f), LoopMode::simulation);
    answered_frame();
    EXPECT_EQ(loop_->mode(), LoopMode::construction) << "won within 16 frames";
    EXPECT_EQ(pending_events(), 1) << "the win card took the press";
    int to_win = device_ticks_;
    EXPECT_LT(to_win, 21);
    push_key(SDLK_c);
    push_key(SDLK_SPACE);
    frames(1);
    EXPECT_FALSE(loop_->console_open());
    loop_->handle_event(key_event(SDLK_f), LoopMode::simulation);
    EXPECT_EQ(loop_->speed(), RunSpeed::fastest);
    while (loop_->mode() == LoopMode::simulation) {
        push_click(5, 5);
        loop_->frame_work(LoopMode::simulation);
        SDL_Event unused;
        while (SDL_PollEvent(&unused)) {
        }
    }
    EXPECT_EQ(device_ticks_, 2 * to_win) << "the same frames to the win at any speed";
    loop_->handle_event(key_event(SDLK_f), LoopMode::simulation);
    EXPECT_EQ(loop_->speed(), RunSpeed::normal);
}

// The quit question hears only Y, N and Escape; the error and win screens
// swallow keys until a mouse button.
TEST_F(LoopTest, MessageScreensAnswerOnlyToTheirOwnInput) {
    push_key(SDLK_ESCAPE);
    push_click(300, 300);
    push_quit();
    push_key(SDLK_n);
    EXPECT_TRUE(loop_->step());
    EXPECT_EQ(pending_events(), 0) << "the click and the close request were swallowed";
    push_key(SDLK_ESCAPE);
    push_key(SDLK_ESCAPE);
    EXPECT_TRUE(loop_->step());
    push_key(SDLK_a);
    push_key(SDLK_y);
    push_click(1, 1, SDL_BUTTON_WHEELUP);
    error(&info_, "message");
    EXPECT_EQ(pending_events(), 1) << "keys swallowed up to the press";
    push_key(SDLK_RETURN);
    push_click(1, 1);
    win(&info_);
    push_key(SDLK_ESCAPE);
    push_key(SDLK_y);
    EXPECT_FALSE(loop_->step());
}

TEST_F(LoopTest, NewDevicesSnapGetTheLowestFreeNumberAndMayNotOverlap) {
    level_.devices.clear();
    new_pusher_at(9 + 25 * 4 + 12, 2 + 25 * 6 - 12);
    ASSERT_EQ(level_.devices.size(), 1u);
    EXPECT_EQ(describe_part(*device(0)), "part e x=4 y=6 number=0 direction=0 name=pusher_0");
    EXPECT_EQ(loop_->dragged(), nullptr);
    new_pusher_at(9 + 25 * 4, 2 + 25 * 6); // onto the first: thrown away
    new_pusher_at(150, 100);
    new_pusher_at(200, 100);
    ASSERT_EQ(level_.devices.size(), 3u);
    press(150 + 5, 100);
    release(700, 100); // pusher_1 dropped onto the panel
    new_pusher_at(400, 400);
    EXPECT_STREQ(device(2)->name, "pusher_1");
    press(400 + 3, 400 + 3);
    release(200 + 3, 100 + 3); // onto pusher_2: back where it was
    EXPECT_EQ(device(2)->x, 16);
    press(403, 403);
    release(650, 403); // on the boundary: stays
    press(403, 403);
    release(651, 403);
    EXPECT_EQ(level_.devices.size(), 2u);
}

// Ctrl+Z takes back placing, moving and removing a part one change at a
// time, Ctrl+Y does them again; a refused drop is no change, and a new
// change forgets what could have been done again.
TEST_F(LoopTest, ConstructionUndoAndRedoRoundTrip) {
    level_.devices.clear();
    auto parts = [this] {
        std::string all;
        for (auto& d : level_.devices)
            all += describe_part(*d) + "\n";
        return all;
    };
    auto ctrl = [this](SDLKey key) {
        SDL_Event event = key_event(key);
        event.key.keysym.mod = KMOD_LCTRL;
        loop_->handle_event(event, loop_->mode());
    };
    std::vector<std::string> seen{parts()};
    new_pusher_at(9 + 25 * 4, 2 + 25 * 6);
    seen.push_back(parts());
    new_pusher_at(9 + 25 * 8, 2 + 25 * 6);
    seen.push_back(parts());
    new_pusher_at(9 + 25 * 4, 2 + 25 * 6); // onto pusher_0: refused, no change
    press(25 * 4 + 5, 25 * 6 + 5);
    release(25 * 10 + 5, 25 * 12 + 5); // pusher_0 moved
    seen.push_back(parts());
    press(25 * 8 + 5, 25 * 6 + 5);
    release(700, 100); // pusher_1 removed
    seen.push_back(parts());
    ASSERT_EQ(level_.devices.size(), 1u);
    for (size_t i = seen.size() - 1; i > 0; --i) {
        ctrl(SDLK_z);
        EXPECT_EQ(parts(), seen[i - 1]);
    }
    ctrl(SDLK_z);
    EXPECT_EQ(loop_->status_text(), "Nothing to undo.");
    for (size_t i = 1; i < seen.size(); ++i) {
        ctrl(SDLK_y);
        EXPECT_EQ(parts(), seen[i]);
    }
    ctrl(SDLK_z); // pusher_1 back
    ctrl(SDLK_z); // pusher_0 back in its first place
    new_pusher_at(9 + 25 * 20, 2 + 25 * 20);
    ctrl(SDLK_y);
    EXPECT_EQ(loop_->status_text(), "Nothing to redo.");
    EXPECT_STREQ(device(1)->name, "pusher_1") << "the pusher put back after undo keeps its name";
}

// The inspection view (I, building or running) and the bin's page and belt
// settings outlast the level.
TEST_F(LoopTest, InspectionViewAndBinChoicesOutlastTheLevel) {
    EXPECT_FALSE(loop_->inspecting());
    loop_->handle_event(key_event(SDLK_i), LoopMode::construction);
    EXPECT_TRUE(loop_->inspecting());
    frames(1);
    ASSERT_TRUE(loop_->start_run());
    loop_->handle_event(key_event(SDLK_i), LoopMode::simulation);
    EXPECT_FALSE(loop_->inspecting());
    loop_->handle_event(key_event(SDLK_i), LoopMode::simulation);
    frames(2);
    EXPECT_EQ(loop_->mode(), LoopMode::simulation);
    loop_->stop_run();
    press(650 + 24, 104); // belts to the left
    press(650 + 92, 342); // eight long
    loop_->handle_event(key_event(SDLK_2), LoopMode::construction);
    loop_.reset();
    Level next;
    loop_ = std::make_unique<LevelLoop>(&info_, &next);
    EXPECT_TRUE(loop_->inspecting());
    frames(1);
    loop_->handle_event(key_event(SDLK_1), LoopMode::construction);
    press(650 + 40, 440);
    release(5 * 25 + 10, 10 * 25 + 10);
    ASSERT_EQ(next.devices.size(), 1u);
    EXPECT_EQ(describe_part(*next.devices[0]).substr(0, 31), "part b x=5 y=10 length=8 direct");
    EXPECT_NE(describe_part(*next.devices[0]).find("direction=3"), std::string::npos);
    loop_.reset();
    EXPECT_EQ(info_.workshop.bin.page, 0);
}

// While a part is dragged, the cells the drop would give it are outlined,
// green where it may stand and red where not; a refused drop says why.
TEST_F(LoopTest, DraggedPartsShowWhereTheyWouldLandAndRefusedDropsSayWhy) {
    level_.devices.clear();
    place<DeviceConveyer>(level_, 4, 10, Mobility::fixed, 1, DIR_RIGHT, 10);
    place<DevicePusher>(level_, 8, 10, Mobility::movable, DIR_UP)->give_name(0);
    // The outline's left edge at cell (cx, 10) with the pointer where the
    // drop snaps to it; the pusher from the bin is held 9, 2 from its corner.
    auto outline_at = [&](int cx) {
        SDL_WarpMouse(static_cast<Uint16>(25 * cx + 9 + 12), 25 * 10 + 2);
        SDL_PumpEvents();
        loop_->frame_work(LoopMode::construction);
        Uint8 r = 0, g = 0, b = 0;
        SDL_LockSurface(info_.screen);
        Uint16 pixel = static_cast<Uint16*>(info_.screen->pixels)[(25 * 10 + 12) * info_.screen->pitch / 2 + 25 * cx];
        SDL_UnlockSurface(info_.screen);
        SDL_GetRGB(pixel, info_.screen->format, &r, &g, &b);
        return std::string(g > 2 * r ? "green" : r > 2 * g ? "red" : "none");
    };
    loop_->handle_event(key_event(SDLK_3), LoopMode::construction);
    press(650 + 59, 52);
    const std::tuple<int, const char*, const char*> drops[] = {
        {8, "red", "Not placed: it would overlap pusher_0."},
        {4, "red", "Not placed: the level's own belt is in the way."},
        {6, "green", ""}};
    for (auto [cx, colour, said] : drops) {
        EXPECT_EQ(outline_at(cx), colour) << cx;
        release(25 * cx + 9 + 12, 25 * 10 + 2);
        EXPECT_EQ(loop_->status_text(), said);
        press(650 + 59, 52);
    }
    EXPECT_EQ(describe_part(*device(2)), "part e x=6 y=10 number=1 direction=0 name=pusher_1");
    release(700, 100);
    DeviceConveyer* long_belt = place<DeviceConveyer>(level_, 18, 2, Mobility::movable, 8, DIR_RIGHT, 10);
    Placement off = placement_at(level_, *long_belt, {19, 2});
    EXPECT_EQ(off.problem, PlacementProblem::off_floor);
    EXPECT_EQ(cells_covered_at(*long_belt, {19, 2}).size(), 7u) << "only the cells on the floor";
    EXPECT_EQ(refusal_text(off, DropStage::dragging), "Not here: it would stick out of the floor.");
}

// The save button proposes the level's name; the status line says where
// the save went.
TEST_F(LoopTest, SavingProposesTheLevelsNameAndSaysWhereItWent) {
    ScratchDir game;
    auto inside = game.enter();
    level_.level_name = "07-lamp.lvl";
    push_key(SDLK_RETURN);
    press(52, 573);
    EXPECT_EQ(loop_->status_text(), "Saved to saves/07-lamp.sav");
    EXPECT_EQ(game.read("saves/07-lamp.sav").rfind("07-lamp.lvl\n", 0), 0u);
    EXPECT_EQ(shown_path("/elsewhere/x.sav"), "/elsewhere/x.sav");
}

TEST_F(LoopTest, DevicesStayOnTheFloorAndFixedOnesStayPut) {
    level_.devices.clear();
    // Picked up at its fifth cell, the belt's top-left pixel lies 105 pixels
    // left of the pointer; drops snap to the nearest cell.
    for (auto [left_of_edge, expected_x] : {std::pair{10, 0}, {36, 0}, {37, 8}}) {
        DeviceConveyer* belt = place<DeviceConveyer>(level_, 8, 3, Mobility::movable, 8, DIR_RIGHT, 10);
        press(25 * 12 + 5, 25 * 3 + 5);
        release(105 - left_of_edge, 25 * 3 + 5);
        EXPECT_EQ(belt->x, expected_x) << left_of_edge << " pixels left of the edge";
        level_.devices.clear();
    }
    DeviceConveyer* tall = place<DeviceConveyer>(level_, 10, 10, Mobility::movable, 2, DIR_UP, 10);
    press(25 * 10 + 1, 25 * 10 + 1);
    release(25 * 10 + 1, 25 * 21 + 1); // its second cell would be in row 22
    EXPECT_EQ(tall->y, 10);
    press(25 * 10 + 1, 25 * 10 + 1);
    release(25 * 25 + 1, 25 * 10 + 1);
    EXPECT_EQ(tall->x, 25);
    place<DeviceConveyer>(level_, 4, 4, Mobility::fixed, 1, DIR_RIGHT, 10);
    press(25 * 4 + 3, 25 * 4 + 3);
    EXPECT_EQ(loop_->dragged(), nullptr) << "a fixed belt cannot be picked up";
    release(0, 0);
    place<DevicePusher>(level_, 4, 4, Mobility::movable, DIR_UP)->give_name(0);
    press(25 * 4 + 3, 25 * 4 + 3);
    EXPECT_EQ(loop_->dragged(), device(2));
    loop_->handle_event(key_event(SDLK_SPACE), LoopMode::construction);
    EXPECT_EQ(loop_->dragged(), nullptr) << "starting ends the drag";
    EXPECT_EQ(loop_->mode(), LoopMode::simulation);
}

// The level list with the real loop and chooser in a scratch game folder.
// (tests/e2e saves, loads and meets a corrupt save in a real window.)
class ListTest : public WindowTest {};

// Thirty levels of difficulty 1, more than a page; the levels the list
// opens are recorded.
class LongListTest : public ListTest {
protected:
    void SetUp() override {
        ListTest::SetUp();
        for (int i = 0; i < 30; ++i)
            game_.write("levels/level" + std::to_string(100 + i) + ".lvl", "Level " + std::to_string(i) + "\n1\n0\n");
        inside_.emplace(game_.path());
        list_ = std::make_unique<LevelSelect>(&info_);
        list_->open_level = [this](const std::string& name) { opened_.push_back(name); };
    }
    void TearDown() override {
        list_.reset();
        inside_.reset();
        ListTest::TearDown();
    }
    ScratchDir game_;
    std::optional<ScratchDir::Inside> inside_;
    std::unique_ptr<LevelSelect> list_;
    std::vector<std::string> opened_;
};

TEST_F(ListTest, UnusableFilesShowWhyOrEndTheGame) {
    ScratchDir game;
    game.write("saves/records.txt", "not a records file\n");
    game.write("levels/broken.lvl", "Broken\n1\n1\nconveyer, 3, 3, 999999, 1, 10\n");
    game.write("saves/lost.sav", "gone.lvl\nCODE\n0\n0\n");
    game.write("levels/unlisted.lvl", "Difficulty 0\n0\n0\n");
    game.write("saves/bad.sav", "unlisted.lvl\nz, 1, 2\nCODE\n0\n0\n");
    game.write("saves/far.sav", "../../../../../../proc/self/pagemap\nCODE\n0\n0\n");
    game.write("saves/off.sav", "unlisted.lvl\ne, 30, 2, 0, 1\nCODE\n0\n0\n");
    auto inside = game.enter();
    push_click(300, 105); // the broken level
    push_click(400, 400); // dismisses the error screen
    push_click(700, 560);
    push_text("lost");
    push_key(SDLK_RETURN);
    push_click(400, 400);
    push_key(SDLK_ESCAPE);
    testing::internal::CaptureStderr();
    level_select(&info_);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The records file saves/records.txt cannot be used (it does not start with the records heading); it was "
              "moved to saves/records.txt.corrupt and the game goes on with empty records.\n");
    EXPECT_EQ(game.read("saves/records.txt.corrupt"), "not a records file\n");
    EXPECT_EQ(pending_events(), 1);
    EXPECT_EQ(load_outcome(load_level("saves/lost.sav", LevelSource::save_file)), LoadOutcome::show_error);
    EXPECT_EQ(load_outcome(load_level("saves/bad.sav", LevelSource::save_file)), LoadOutcome::fatal);
    EXPECT_EQ(load_outcome(load_level("saves/far.sav", LevelSource::save_file)), LoadOutcome::show_error);
    EXPECT_EQ(load_outcome(load_level("saves/off.sav", LevelSource::save_file)), LoadOutcome::show_error);
    EXPECT_EXIT(fatal_message(nullptr, INVALID_RECORD_TITLE, INVALID_RECORD_MESSAGE), testing::ExitedWithCode(1),
                "Error!: Error loading saved game: Invalid device type!");
}

// Without a window to play in, the game says why and ends with status 1,
// rather than crash or draw itself as text art in the terminal; without an
// X server it says what to look at.
TEST(StartUp, WithoutADisplayTheGameSaysWhyAndEnds) {
    ScratchDir dir;
    for (auto [env, said] : {std::pair{"-u DISPLAY -u SDL_VIDEODRIVER", "no graphical display (DISPLAY=): "},
                             {"SDL_VIDEODRIVER=x11 DISPLAY=:9999", "cannot start the video system (DISPLAY=:9999)"}}) {
        std::string game = std::string("env ") + env + " LSAN_OPTIONS=detect_leaks=0 '" + GEARLOFT_GAME_PATH + "'";
        int raw = std::system((game + " </dev/null >/dev/null 2>'" + dir.path() + "/err'").c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << env;
        EXPECT_EQ(dir.read("err").rfind(std::string("gearloft: ") + said, 0), 0u) << dir.read("err");
    }
    EXPECT_NE(dir.read("err").find("is an X server running on that display"), std::string::npos) << dir.read("err");
}

// The row under the pointer is highlighted (not under the load button);
// the arrow keys move a highlight, turning pages, Enter opens it; the
// highlight goes with Page Down; Escape still quits at once.
TEST_F(LongListTest, TheHighlightFollowsThePointerAndTheArrowKeys) {
    LevelSelect& list = *list_;
    auto handle = [&](const SDL_Event& event) {
        bool redraw = false;
        EXPECT_TRUE(list.handle_event(event, redraw));
        return std::to_string(list.highlight) + (redraw ? "!" : "");
    };
    auto motion = [&](int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = static_cast<Uint16>(x);
        event.motion.y = static_cast<Uint16>(y);
        return handle(event);
    };
    auto key = [&](SDLKey k) { return handle(key_event(k)); };
    std::vector<std::string> seen = {motion(300, 145), motion(320, 150), motion(700, 560), key(SDLK_DOWN),
                                     key(SDLK_UP),     key(SDLK_UP),     motion(300, 50),  key(SDLK_PAGEDOWN)};
    EXPECT_EQ(seen, (std::vector<std::string>{"2!", "2", "-1!", "0!", "0", "0", "0", "22!"}));
    for (int i = 0; i < 7; ++i)
        key(SDLK_DOWN);
    EXPECT_EQ(key(SDLK_DOWN) + key(SDLK_RETURN), "2929!") << "the last row stops it";
    for (int i = 0; i < 8; ++i)
        key(SDLK_UP);
    EXPECT_EQ(list.first, 0u) << "up from the page's first row turns back";
    key(SDLK_KP_ENTER);
    EXPECT_EQ(opened_, (std::vector<std::string>{"level129.lvl", "level121.lvl"}));
    auto drawn_row_21 = [&] {
        SDL_FillRect(info_.screen, nullptr, 0);
        list.draw();
        return static_cast<Uint16*>(info_.screen->pixels)[(100 + 21 * 20 + 8) * info_.screen->pitch / 2 + 300];
    };
    Uint16 highlighted = drawn_row_21();
    list.highlight = -1;
    EXPECT_NE(drawn_row_21(), highlighted);
    bool redraw = false;
    EXPECT_FALSE(list.handle_event(key_event(SDLK_ESCAPE), redraw));
}

TEST(Placement, SnapsCutTowardZeroAndListRowsHaveTheirPlaces) {
    for (auto [pixel, cell] : {std::pair{-10, 0}, {-36, 0}, {-37, -1}, {12, 0}, {13, 1}})
        EXPECT_EQ(snap_to_cell(pixel), cell) << pixel;
    EXPECT_EQ(level_row_text(3, "Hard"), "[***      ] Hard");
    EXPECT_EQ(level_row_text(12, std::string(300, 'd')).size(), LIST_ROW_MAX);
    EXPECT_EQ(level_row_at(99, 3) + level_row_at(100, 3) + level_row_at(159, 3) + level_row_at(160, 3), -1 + 0 + 2 - 1);
    std::string load_button; // its corners, then a pixel past each side
    for (auto [x, y] : {std::pair{665, 550}, {726, 576}, {664, 560}, {727, 560}, {700, 549}, {700, 577}})
        load_button += load_button_hit(x, y) ? '+' : '-';
    EXPECT_EQ(load_button, "++----");
}

TEST(PartsBin, ButtonsHandOutNewDevicesShapeTheNextBeltAndTurnPages) {
    PartsBin bin;
    // Page, press relative to the panel (hit areas are 30 x 29), and what it gives.
    const std::tuple<int, int, int, const char*> presses[] = {
        {0, 109, 469, "part b x=0 y=0 length=1 direction=0 period=10"}, // a fresh belt
        {0, 110, 469, ""},                                              // past the drag area
        {0, 24 + 29, 104 + 28, ""},                                     // left
        {0, 59 + 30, 72, ""},                                           // just past "up"
        {0, 92, 342, ""},                                               // eight long
        {0, 92, 200, ""},                                               // fast
        {0, 38, 431, "part b x=0 y=0 length=8 direction=3 period=5"},
        {1, 24, 84, "part f x=0 y=0 number=0 direction=3"},
        {1, 95, 208, "part g x=0 y=0 number=0 direction=1"},
        {2, 59, 52, "part e x=0 y=0 number=0 direction=0"},
        {2, 59, 84, "part e x=0 y=0 number=0 direction=2"},
        {2, 92, 167, "part d x=0 y=0 number=0 red=255 green=128 blue=0"},
        {2, 30, 210, "part d x=0 y=0 number=0 red=255 green=0 blue=0"},
        {2, 30, 288, "part c x=0 y=0 number=0 length=18 left=1"},
        {2, 92, 288, "part c x=0 y=0 number=0 length=18 left=0"},
        {2, 60, 450, ""}};
    for (auto [page, x, y, device] : presses) {
        bin.goto_page(page);
        std::unique_ptr<Device> taken = bin.click(x, y);
        EXPECT_EQ(taken ? describe_part(*taken) : "", device) << page << ": " << x << ", " << y;
    }
    EXPECT_NE(bin.click(59, 52).get(), bin.click(59, 52).get()) << "a new copy each time";
    std::string pages;
    for (auto [x, y] : {std::pair{21, 516}, {69, 529}, {40, 520}, {134, 529}, {86, 516}, {100, 520}}) // back x3, on x3
        pages += std::to_string((bin.click(x, y), bin.page));
    bin.goto_page(5);
    EXPECT_EQ(pages + std::to_string(bin.page), "1001222") << "the arrows stop at the first and last page";
}

namespace fs = std::filesystem;

namespace {
class ChooserTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        for (const char* file :
             {"saves/b_folder/x", "saves/a_folder/x", "saves/zeta.sav", "saves/alpha.sav", "saves/notes.txt"})
            dir_.write(file, "x\n");
        saves_ = fs::path(dir_.path()) / "saves";
    }

    ScratchDir dir_;
    fs::path saves_;
};
} // namespace

TEST_F(ChooserTest, OpenNeedsAnExistingFileAndSaveAsksBeforeReplacing) {
    FileChooserModel open(ChooserMode::Open, saves_);
    auto missing = open.accept("nothing");
    EXPECT_EQ(missing.verdict, FileChooserModel::Verdict::Refused);
    EXPECT_EQ(missing.message, "File not found: nothing.sav");
    EXPECT_EQ(open.accept("alpha").path, saves_ / "alpha.sav");
    EXPECT_EQ(open.accept("notes.txt").verdict, FileChooserModel::Verdict::Accepted);
    EXPECT_EQ(open.accept("").verdict, FileChooserModel::Verdict::Refused);
    FileChooserModel save(ChooserMode::Save, saves_);
    EXPECT_EQ(save.accept("mine").path, saves_ / "mine.sav");
    auto existing = save.accept("zeta");
    EXPECT_EQ(existing.verdict, FileChooserModel::Verdict::AskReplace);
    EXPECT_EQ(existing.message, "zeta.sav already exists. Replace it? (Y / N)");
    EXPECT_EQ(save.accept("missing_folder/x").verdict, FileChooserModel::Verdict::Refused);
    EXPECT_EQ(save.accept("b_folder").verdict, FileChooserModel::Verdict::EnteredFolder);
    FileChooserModel fresh(ChooserMode::Save, saves_ / "fresh");
    EXPECT_TRUE(fs::is_directory(saves_ / "fresh")) << "the start folder is made when missing";
}

// The replace question also answers to the buttons: cancel for no, save for
// yes.
TEST_F(ChooserTest, ReplaceQuestionAnswersToTheButtons) {
    push_text("zeta");
    push_key(SDLK_RETURN);
    push_event(mouse_event(SDL_MOUSEBUTTONDOWN, 20 + 760 - 16 - 45, 80 + 402 + 8));
    push_key(SDLK_RETURN);
    push_event(mouse_event(SDL_MOUSEBUTTONDOWN, 20 + 760 - 30 - 90 - 45, 80 + 402 + 8));
    EXPECT_EQ(choose_file(info_.screen, ChooserMode::Save, saves_.c_str()), (saves_ / "zeta.sav").string());
    EXPECT_EQ(dir_.read("saves/zeta.sav"), "x\n") << "choosing writes nothing";
    EXPECT_EQ(pending_events(), 0);
}

// The list shows each save's level and date; saves that are broken or
// hostile just show less, and each level is read once.
TEST_F(ChooserTest, SavesShowTheirLevelAndDate) {
    dir_.write("levels/07-lamp.lvl", "Count and show it on a lamp\n2\n0\n");
    dir_.write("saves/07-lamp.sav", "07-lamp.lvl\nCODE\n0\n0\n");
    dir_.write("saves/crlf.sav", "07-lamp.lvl\r\n");
    dir_.write("saves/orphan.sav", "gone.lvl\nCODE\n");
    dir_.write("saves/noise.sav", std::string(300000, '\x01'));
    dir_.write("saves/climb.sav", "../saves/alpha.sav\n");
    dir_.write("saves/zero.sav", std::string("07-lamp.lvl\0x\n", 14));
    auto inside = dir_.enter();
    FileChooserModel open(ChooserMode::Open, "saves");
    std::map<std::string, std::string> shown;
    for (const auto& entry : open.entries())
        shown[entry.name] = entry.summary.description + (entry.summary.date.empty() ? "" : " @");
    EXPECT_EQ(shown["07-lamp.sav"], "Count and show it on a lamp @");
    EXPECT_EQ(shown["crlf.sav"], "Count and show it on a lamp @");
    EXPECT_EQ(shown["orphan.sav"], "missing level: gone.lvl @");
    for (const char* broken : {"noise.sav", "climb.sav", "zero.sav"})
        EXPECT_EQ(shown[broken], " @") << broken;
    EXPECT_EQ(shown["a_folder"], "");
    const FileChooserModel::Entry& lamp = open.entries()[3];
    ASSERT_EQ(lamp.name, "07-lamp.sav");
    EXPECT_EQ(lamp.summary.date.size(), 16u) << lamp.summary.date;
    std::string row = open.row_text(lamp, 60);
    EXPECT_EQ(row, "07-lamp.sav   Count and show it on a lamp   " + lamp.summary.date);
    EXPECT_EQ(open.row_text(lamp, 45), "07-lamp.sav   Count and ...  " + lamp.summary.date);
    EXPECT_EQ(open.row_text(open.entries()[1], 60), "[a_folder]");
}

// The save chooser proposes a name: Enter takes it, typing replaces it, and
// Backspace or the caret keys let the player edit it.
TEST_F(ChooserTest, AProposedNameIsTakenOrReplaced) {
    const std::pair<std::function<void()>, const char*> answers[] = {{[] {}, "07-lamp.sav"},
                                                                     {[] { push_text("mine"); }, "mine.sav"},
                                                                     {[] {
                                                                          push_key(SDLK_BACKSPACE); // clears it
                                                                          push_key(SDLK_END);
                                                                          push_text("x");
                                                                      },
                                                                      "x.sav"},
                                                                     {[] {
                                                                          push_key(SDLK_END);
                                                                          for (int i = 0; i < 4; ++i)
                                                                              push_key(SDLK_BACKSPACE);
                                                                          push_text("_2");
                                                                      },
                                                                      "07-lamp_2.sav"}};
    for (const auto& [typing, chosen] : answers) {
        typing();
        push_key(SDLK_RETURN);
        EXPECT_EQ(choose_file(info_.screen, ChooserMode::Save, saves_.c_str(), "07-lamp.sav"),
                  (saves_ / chosen).string());
    }
    EXPECT_EQ(proposed_save_name("07-lamp.lvl") + proposed_save_name("..") + proposed_save_name(""),
              "07-lamp.savmachine.savmachine.sav");
}

// N and Escape turn the replace question down and editing goes on; Home keeps
// the proposed name for editing; a folder's row leaves the name as it is.
TEST_F(ChooserTest, TurnedDownQuestionsAndFolderRowsKeepTheName) {
    auto chosen = [&] {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        push_event(quit); // ends the chooser should it miss a key
        std::optional<std::string> path = choose_file(info_.screen, ChooserMode::Save, saves_.c_str(), "zeta.sav");
        while (SDL_PollEvent(&quit)) {
        }
        return path.value_or("(none)");
    };
    push_key(SDLK_HOME);
    for (SDLKey no : {SDLK_n, SDLK_ESCAPE}) {
        push_key(SDLK_RETURN);
        push_key(no);
    }
    push_text("my_");
    push_key(SDLK_KP_ENTER);
    EXPECT_EQ(chosen(), (saves_ / "my_zeta.sav").string());
    push_click(100, 165); // a row of a_folder or b_folder, whatever the font's height
    push_key(SDLK_RETURN);
    push_key(SDLK_y);
    EXPECT_EQ(chosen(), (saves_ / "zeta.sav").string());
}

// A list longer than the window turns its pages; presses pick rows of the
// page shown.
TEST_F(LongListTest, PagesTurnWhenTheRowsDoNotFit) {
    LevelSelect& list = *list_;
    auto key = [&](SDLKey k) {
        bool redraw = false;
        EXPECT_TRUE(list.handle_event(key_event(k), redraw));
        return redraw;
    };
    auto press = [&](int y) {
        bool redraw = false;
        list.handle_event(mouse_event(SDL_MOUSEBUTTONDOWN, 300, y), redraw);
    };
    EXPECT_FALSE(key(SDLK_PAGEUP)) << "no page before the first";
    EXPECT_TRUE(key(SDLK_PAGEDOWN));
    press(100);
    press(260); // beyond the eight rows of the last page
    EXPECT_FALSE(key(SDLK_PAGEDOWN)) << "no page after the last";
    EXPECT_TRUE(key(SDLK_PAGEUP));
    press(100);
    // A page ends above the load button: the rows beside it open nothing.
    press(545);
    press(590);
    // The arrow keys go on from the level a press opened.
    press(100 + 20 * 10 + 5);
    key(SDLK_DOWN);
    key(SDLK_RETURN);
    EXPECT_EQ(list.highlight, 11);
    EXPECT_EQ(opened_, (std::vector<std::string>{"level122.lvl", "level100.lvl", "level110.lvl", "level111.lvl"}));
}
