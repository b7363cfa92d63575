// The game's screens driven by queued events: the level loop's runs and
// message screens, building on the floor, the level list, and saving and
// loading through the chooser.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "conveyer/conveyer.h"
#include "core/fatal_message.h"
#include "core/level_loop.h"
#include "core/placement.h"
#include "core/screens.h"
#include "files/device_record.h"
#include "main/level_list.h"
#include "main/startup.h"
#include "pusher/pusher.h"
#include "support.h"

namespace {
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
        int frame_mode = loop_->mode;
        push_click(5, 5, button);
        loop_->frame_work(frame_mode);
    }
    void handle(const SDL_Event& event) { ASSERT_TRUE(loop_->handle_event(event, loop_->mode)); }
    void press(int x, int y, Uint8 button = SDL_BUTTON_LEFT) { handle(mouse_event(SDL_MOUSEBUTTONDOWN, x, y, button)); }
    void release(int x, int y) { handle(mouse_event(SDL_MOUSEBUTTONUP, x, y)); }
    void key(SDLKey sym, Uint16 unicode = 0) { handle(key_event(sym, unicode)); }
    // An upward pusher from page 3 of the bin (grab offset 9, 2) let go at (x, y).
    void new_pusher_at(int x, int y) {
        key(SDLK_3);
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
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION) << "only the left button counts while building";
    const std::vector<std::function<void()>> starts = {[] { push_key(SDLK_SPACE); }, [] { push_click(617, 587); }};
    const std::vector<std::function<void()>> stops = {[] { push_key(SDLK_ESCAPE); }, [] { push_key(SDLK_SPACE); },
                                                      [] { push_click(500, 570, SDL_BUTTON_MIDDLE); }, push_quit};
    for (size_t i = 0; i < stops.size(); ++i) {
        starts[i % 2]();
        frames(4);
        ASSERT_EQ(loop_->mode, MODE_SIMULATION);
        ASSERT_EQ(level_.ticks, 3) << "the frame that started the run did not step";
        int ticks_before = device_ticks_;
        stops[i]();
        frames(1);
        EXPECT_EQ(device_ticks_, ticks_before + 1) << "the stopping frame still steps";
        EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
        EXPECT_EQ(level_.ticks, 0);
        EXPECT_FALSE(level_.has_block(11, 11)) << "the floor was reset";
    }
}

TEST_F(LoopTest, ProgramErrorsStopTheRunWithoutAStep) {
    loop_->init_code = "x = = 1";
    push_key(SDLK_SPACE);
    push_click(5, 5); // dismisses the error screen
    frames(1);
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
    EXPECT_EQ(pending_events(), 0);
    loop_->init_code = "";
    for (auto [code, good_frames] : {std::pair{"n = (n or 0) + 1 if n == 4 then error('boom') end", 3},
                                     {"action('pusher_7', 'on', 0)", 0}}) {
        loop_->cycle_code = code;
        push_key(SDLK_SPACE);
        frames(1 + good_frames);
        int ticks_before = device_ticks_;
        answered_frame();
        EXPECT_EQ(pending_events(), 1) << "only the press was taken";
        SDL_Event release;
        SDL_PollEvent(&release);
        EXPECT_EQ(device_ticks_, ticks_before) << code;
        EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
        EXPECT_FALSE(level_.has_block(11, 11)) << "the floor was cleared";
    }
}

// The win screen appears at the start of the frame after the last delivery;
// that frame still runs the program and steps once more, then resets.
TEST_F(LoopTest, WinScreenComesTheFrameAfterTheLastDelivery) {
    push_key(SDLK_SPACE);
    frames(1);
    while (level_.catchers[0]->remaining > 0)
        frames(1);
    EXPECT_EQ(loop_->mode, MODE_SIMULATION);
    int ticks_before = device_ticks_;
    answered_frame(SDL_BUTTON_WHEELDOWN); // any button dismisses it
    EXPECT_EQ(device_ticks_, ticks_before + 1);
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
    EXPECT_EQ(level_.catchers[0]->remaining, 5);
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

TEST_F(LoopTest, LoadedCodeIsUsedWithoutVisitingTheEditor) {
    Level saved;
    saved.catchers.push_back(std::make_unique<Catcher>(10, 10, 1, 1, "R"));
    saved.init_code = "started = true\n";
    saved.cycle_code = "if not started then error('lost') end\nseen = (seen or 0) + 1\n";
    place<DevicePusher>(saved, 3, 3, false, DIR_UP)->give_name(0);
    LevelLoop loop(&info_, &saved);
    EXPECT_EQ(loop.editor->cycle_box->getNumberOfRows(), 2u) << "no extra empty row";
    EXPECT_EQ(saved_program_text(*loop.editor), "1\nstarted = true\n2\nif not started then error('lost') end\n"
                                                "seen = (seen or 0) + 1\n");
    push_key(SDLK_SPACE);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(loop.step());
    EXPECT_EQ(loop.mode, MODE_SIMULATION);
    EXPECT_EQ(saved.ticks, 2);
}

TEST_F(LoopTest, NewDevicesSnapGetTheLowestFreeNumberAndMayNotOverlap) {
    level_.devices.clear();
    new_pusher_at(9 + 25 * 4 + 12, 2 + 25 * 6 - 12);
    ASSERT_EQ(level_.devices.size(), 1u);
    EXPECT_EQ(device(0)->x, 4);
    EXPECT_EQ(device(0)->y, 6);
    EXPECT_STREQ(device(0)->name, "pusher_0");
    EXPECT_EQ(loop_->held, nullptr);
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

TEST_F(LoopTest, DevicesStayOnTheFloorAndFixedOnesStayPut) {
    level_.devices.clear();
    // Picked up at its fifth cell, the belt's top-left pixel lies 105 pixels
    // left of the pointer; drops snap to the nearest cell.
    for (auto [left_of_edge, expected_x] : {std::pair{10, 0}, {36, 0}, {37, 8}}) {
        DeviceConveyer* belt = place<DeviceConveyer>(level_, 8, 3, false, 8, DIR_RIGHT, 10);
        press(25 * 12 + 5, 25 * 3 + 5);
        release(105 - left_of_edge, 25 * 3 + 5);
        EXPECT_EQ(belt->x, expected_x) << left_of_edge << " pixels left of the edge";
        level_.devices.clear();
    }
    DeviceConveyer* tall = place<DeviceConveyer>(level_, 10, 10, false, 2, DIR_UP, 10);
    press(25 * 10 + 1, 25 * 10 + 1);
    release(25 * 10 + 1, 25 * 21 + 1); // its second cell would be in row 22
    EXPECT_EQ(tall->y, 10);
    press(25 * 10 + 1, 25 * 10 + 1);
    release(25 * 25 + 1, 25 * 10 + 1);
    EXPECT_EQ(tall->x, 25);
    place<DeviceConveyer>(level_, 4, 4, true, 1, DIR_RIGHT, 10);
    press(25 * 4 + 3, 25 * 4 + 3);
    EXPECT_EQ(loop_->held, nullptr) << "a fixed belt cannot be picked up";
    release(0, 0);
    place<DevicePusher>(level_, 4, 4, false, DIR_UP)->give_name(0);
    press(25 * 4 + 3, 25 * 4 + 3);
    EXPECT_EQ(loop_->held, device(2));
    key(SDLK_SPACE);
    EXPECT_EQ(loop_->held, nullptr) << "starting ends the drag";
    EXPECT_EQ(loop_->mode, MODE_SIMULATION);
}

TEST_F(LoopTest, EditorVisitsCaptureBothTextsAndDigitsTurnPagesOnlyWhileBuilding) {
    key(SDLK_2);
    EXPECT_EQ(loop_->parts_bin.page, 1);
    press(700, 570); // the edit button
    ASSERT_EQ(loop_->mode, MODE_EDITING);
    loop_->editor->init_box->setText("a = 1\nb = 2");
    press(100, 300);
    release(100, 300);
    loop_->editor->cycle_box->setText("");
    key(SDLK_3, '3');
    loop_->editor->logic();
    EXPECT_EQ(loop_->parts_bin.page, 1);
    press(700, 20, SDL_BUTTON_RIGHT); // the back button, any button
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
    EXPECT_EQ(loop_->init_code, "a = 1\nb = 2\n");
    EXPECT_EQ(loop_->cycle_code, "3\n");
    EXPECT_EQ(saved_program_text(*loop_->editor), "2\na = 1\nb = 2\n1\n3\n");
}

// The list and its load button, with the real level loop and chooser, in a
// scratch game folder.
class GameTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        game_.write("levels/push.lvl", "Push reds right\n1\n3\nspawner, 3, 5, R, 6\ncatcher, 8, 4, 1, 1, R\n"
                                       "converter, 12, 12, G, R\n");
        inside_ = std::make_unique<ScratchDir::Inside>(game_.path());
    }
    void TearDown() override {
        inside_.reset();
        WindowTest::TearDown();
    }
    ScratchDir game_;
    std::unique_ptr<ScratchDir::Inside> inside_;
};

TEST_F(GameTest, ListShowsLevelsByDifficultyAndPressesPickThem) {
    game_.write("levels/a.lvl", "Hard\n3\n0\n");
    game_.write("levels/b.lvl", "Never\n0\n0\n");
    LevelSelect list(&info_);
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.rows[0].text, "[*        ] Push reds right");
    EXPECT_EQ(list.rows[1].text, "[***      ] Hard");
    std::vector<std::string> opened;
    list.open_level = [&](const std::string& name) { opened.push_back(name); };
    list.open_save = [&] { opened.push_back("(load)"); };
    bool redraw = false;
    for (auto [x, y] : {std::pair{300, 99}, {300, 100}, {5, 139}, {300, 140}, {700, 560}})
        EXPECT_TRUE(list.handle_event(mouse_event(SDL_MOUSEBUTTONDOWN, x, y), redraw));
    EXPECT_EQ(opened, (std::vector<std::string>{"push.lvl", "a.lvl", "(load)"}));
    EXPECT_TRUE(redraw);
    EXPECT_FALSE(list.handle_event(key_event(SDLK_ESCAPE), redraw));
    EXPECT_EQ(level_row_text(12, std::string(300, 'd')).size(), LIST_ROW_MAX);
}

TEST_F(GameTest, SavedMachineIsWrittenAndOpensFromTheList) {
    auto loaded = load_level("push.lvl", 0);
    LevelLoop loop(&info_, loaded.level.get());
    place<DevicePusher>(*loaded.level, 2, 5, false, DIR_RIGHT)->give_name(0);
    loop.editor->cycle_box->setText("count = (count or 0) + 1\npusher_0.on(count % 2 == 0) -- a, b");
    push_text("old");
    push_key(SDLK_ESCAPE); // cancelled: nothing written
    ASSERT_TRUE(loop.handle_event(mouse_event(SDL_MOUSEBUTTONDOWN, 50, 570), MODE_CONSTRUCTION));
    push_text("mine");
    push_key(SDLK_RETURN);
    ASSERT_TRUE(loop.handle_event(mouse_event(SDL_MOUSEBUTTONDOWN, 50, 570), MODE_CONSTRUCTION));
    EXPECT_EQ(game_.read("saves/mine.sav"), "push.lvl\na, 12, 12, 0, 71, 82\ne, 2, 5, 0, 1\nCODE\n"
                                            "1\n-- Initialization Code Goes Here\n"
                                            "2\ncount = (count or 0) + 1\npusher_0.on(count % 2 == 0) -- a, b\n");
    EXPECT_FALSE(std::filesystem::exists("saves/old.sav"));
    // Saving again under the name asks first: N keeps the old file.
    push_text("mine");
    push_key(SDLK_RETURN);
    push_key(SDLK_n);
    push_key(SDLK_ESCAPE);
    loop.editor->cycle_box->setText("");
    ASSERT_TRUE(loop.handle_event(mouse_event(SDL_MOUSEBUTTONDOWN, 50, 570), MODE_CONSTRUCTION));
    EXPECT_NE(game_.read("saves/mine.sav").find("count"), std::string::npos);
    // From the list: load it, leave it, leave the list.
    push_click(700, 560);
    push_text("mine");
    push_key(SDLK_RETURN);
    push_key(SDLK_ESCAPE);
    push_key(SDLK_y);
    push_key(SDLK_ESCAPE);
    level_select(&info_);
    EXPECT_EQ(pending_events(), 1) << "only the release of the last Escape is left";
}

TEST_F(GameTest, UnusableFilesShowWhyOrEndTheGame) {
    game_.write("saves/lost.sav", "gone.lvl\nCODE\n0\n0\n");
    game_.write("levels/broken.lvl", "Broken\n1\n1\nconveyer, 3, 3, 999999, 1, 10\n");
    push_click(300, 105); // the broken level
    push_click(400, 400); // dismisses the error screen
    push_click(700, 560);
    push_text("lost");
    push_key(SDLK_RETURN);
    push_click(400, 400);
    push_key(SDLK_ESCAPE);
    level_select(&info_);
    EXPECT_EQ(pending_events(), 1);
    EXPECT_EQ(load_outcome(load_level("saves/lost.sav", 1)), LoadOutcome::show_error);
    EXPECT_EQ(load_outcome(load_level("push.lvl", 0)), LoadOutcome::open);

    game_.write("saves/bad.sav", "push.lvl\nz, 1, 2\nCODE\n0\n0\n");
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            push_text("bad");
            push_key(SDLK_RETURN);
            push_key(SDLK_SPACE); // closes the message box
            load_save(&info_);
        },
        testing::ExitedWithCode(1), "Error!: Error loading saved game: Invalid device type!");
}

TEST(Placement, SnapCutsTowardZero) {
    for (auto [pixel, cell] : {std::pair{-10, 0}, {-36, 0}, {-37, -1}, {12, 0}, {13, 1}})
        EXPECT_EQ(snap_to_cell(pixel), cell) << pixel;
}
