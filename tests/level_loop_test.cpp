// The level loop: starting and stopping runs, the order of a simulation
// frame, and the message screens, driven by queued events.
#include <gtest/gtest.h>

#include "core/level_loop.h"
#include "level/level.h"
#include "loop_test_util.h"
#include "pusher/pusher.h"
#include "test_device.h"

namespace {
class LevelLoopTest : public WindowTest {
protected:
    // A level with one red catcher next to a spawner, so a run delivers by itself.
    void SetUp() override {
        WindowTest::SetUp();
        level_.catchers.push_back(std::make_unique<Catcher>(10, 10, 1, 1, "R"));
        level_.spawners.push_back(std::make_unique<Spawner>(11, 11, 'R', 3));
        counter_ = add_test_device(level_, 1, 1);
        counter_->on_tick = [this](Level*) { ++device_ticks_; };
        loop_ = std::make_unique<LevelLoop>(&info_, &level_);
    }
    void TearDown() override {
        loop_.reset();
        WindowTest::TearDown();
    }
    void run_frames(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(loop_->step());
    }
    // A frame whose work shows a message screen: its answer is queued first,
    // so the frame's own event handling must not take it.
    void answered_frame(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
        int frame_mode = loop_->mode;
        push_click(x, y, button);
        loop_->frame_work(frame_mode);
    }

    Level level_;
    TestDevice* counter_ = nullptr;
    int device_ticks_ = 0;
    std::unique_ptr<LevelLoop> loop_;
};
} // namespace

TEST_F(LevelLoopTest, SpaceOrALeftClickOnRunStartsARun) {
    push_key(SDLK_SPACE);
    ASSERT_TRUE(loop_->step());
    EXPECT_EQ(loop_->mode, MODE_SIMULATION);
    EXPECT_EQ(level_.ticks, 0) << "the frame that started the run was a construction frame";
    run_frames(2);
    EXPECT_EQ(level_.ticks, 2);

    LevelLoop second(&info_, &level_);
    push_click(453, 560, SDL_BUTTON_RIGHT);
    ASSERT_TRUE(second.step());
    EXPECT_EQ(second.mode, MODE_CONSTRUCTION) << "only the left button counts while building";
    push_click(617, 587);
    ASSERT_TRUE(second.step());
    EXPECT_EQ(second.mode, MODE_SIMULATION);
}

TEST_F(LevelLoopTest, FailingInitialisationShowsTheErrorAndStaysBuilding) {
    loop_->init_code = "x = = 1";
    push_key(SDLK_SPACE);
    push_click(5, 5); // dismisses the error screen
    ASSERT_TRUE(loop_->step());
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
    EXPECT_EQ(pending_events(), 0);
}

TEST_F(LevelLoopTest, EscapeSpaceAndStopEndTheRunAfterThatFramesStep) {
    const std::vector<std::function<void()>> stops = {
        [] { push_key(SDLK_ESCAPE); }, [] { push_key(SDLK_SPACE); },
        [] { push_click(500, 570, SDL_BUTTON_MIDDLE); }, [] { push_quit(); }};
    for (const auto& stop : stops) {
        push_key(SDLK_SPACE);
        run_frames(4);
        ASSERT_EQ(loop_->mode, MODE_SIMULATION);
        ASSERT_EQ(level_.ticks, 3);
        int ticks_before = device_ticks_;
        stop();
        run_frames(1);
        EXPECT_EQ(device_ticks_, ticks_before + 1) << "the stopping frame still steps";
        EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
        EXPECT_EQ(level_.ticks, 0);
        EXPECT_FALSE(level_.has_block(11, 11)) << "the floor was reset";
    }
}

TEST_F(LevelLoopTest, ProgramErrorClearsTheFloorAndStopsWithoutAStep) {
    loop_->cycle_code = "n = (n or 0) + 1 if n == 4 then error('boom') end";
    push_key(SDLK_SPACE);
    run_frames(4);
    ASSERT_TRUE(level_.has_block(11, 11));
    int ticks_before = device_ticks_;
    answered_frame(5, 5);
    EXPECT_EQ(device_ticks_, ticks_before);
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
    EXPECT_FALSE(level_.has_block(11, 11));
    EXPECT_EQ(level_.ticks, 0);
}

TEST_F(LevelLoopTest, UnknownDeviceStopsTheRunLikeAProgramError) {
    loop_->cycle_code = "action('pusher_7', 'on', 0)";
    push_key(SDLK_SPACE);
    run_frames(1);
    answered_frame(5, 5);
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
    EXPECT_EQ(pending_events(), 1) << "only the press was taken";
}

// The win screen appears at the start of the frame after the last delivery;
// that frame still runs the program and steps once more, then resets.
TEST_F(LevelLoopTest, WinScreenComesTheFrameAfterTheLastDelivery) {
    loop_->cycle_code = "frames = (frames or 0) + 1";
    push_key(SDLK_SPACE);
    run_frames(1);
    while (level_.catchers[0]->remaining > 0)
        run_frames(1);
    EXPECT_EQ(loop_->mode, MODE_SIMULATION);
    int ticks_before = device_ticks_;
    answered_frame(400, 400, SDL_BUTTON_WHEELDOWN); // any button dismisses it
    EXPECT_EQ(pending_events(), 1) << "the press was taken by the win screen";
    EXPECT_EQ(device_ticks_, ticks_before + 1);
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
    EXPECT_EQ(level_.catchers[0]->remaining, 5);
}

TEST_F(LevelLoopTest, QuitQuestionOnlyHearsYNAndEscape) {
    push_key(SDLK_ESCAPE);
    push_click(300, 300);
    push_quit();
    push_key(SDLK_n);
    EXPECT_TRUE(loop_->step());
    EXPECT_EQ(pending_events(), 0) << "the click and the close request were swallowed";
    push_quit();
    push_key(SDLK_ESCAPE);
    EXPECT_TRUE(loop_->step());
    push_key(SDLK_ESCAPE);
    push_key(SDLK_y);
    EXPECT_FALSE(loop_->step());
}

TEST_F(LevelLoopTest, LoadedCodeIsUsedWithoutVisitingTheEditor) {
    Level saved;
    saved.catchers.push_back(std::make_unique<Catcher>(10, 10, 1, 1, "R"));
    saved.init_code = "started = true\n";
    saved.cycle_code = "if not started then error('lost') end\nseen = (seen or 0) + 1\n";
    auto lamp = std::make_unique<DevicePusher>(3, 3, false, DIR_UP);
    lamp->give_name(0);
    saved.devices.push_back(std::move(lamp));
    LevelLoop loop(&info_, &saved);
    EXPECT_EQ(loop.editor->cycle_box->getNumberOfRows(), 2u) << "no extra empty row";
    EXPECT_EQ(loop.editor->cycle_box->getTextRow(1), "seen = (seen or 0) + 1");
    push_key(SDLK_SPACE);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(loop.step());
    EXPECT_EQ(loop.mode, MODE_SIMULATION);
    EXPECT_EQ(saved.ticks, 2);
}

TEST_F(LevelLoopTest, SavedProgramTextCountsTheRows) {
    EXPECT_EQ(saved_program_text(*loop_->editor),
              "1\n-- Initialization Code Goes Here\n1\n-- Every-cycle Code Goes Here\n");
    loop_->editor->init_box->setText("A\nB");
    loop_->editor->cycle_box->setText("C");
    EXPECT_EQ(saved_program_text(*loop_->editor), "2\nA\nB\n1\nC\n");
}
