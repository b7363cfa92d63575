// Saving from the level loop and loading from the level list, through the
// in-game chooser driven by queued keys.
#include <gtest/gtest.h>

#include "core/level_loop.h"
#include "run/run.h"
#include "file_test_util.h"
#include "level/level.h"
#include "loop_test_util.h"
#include "main/startup.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"

namespace {
const char* const LEVEL_TEXT = "Push reds right\n1\n3\n"
                               "spawner, 3, 5, R, 6\n"
                               "catcher, 8, 4, 1, 1, R\n"
                               "converter, 12, 12, G, R\n";

class SaveLoadGameTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        game_ = std::make_unique<GameDir>();
        game_->write("levels/push.lvl", LEVEL_TEXT);
    }
    void TearDown() override {
        game_.reset();
        WindowTest::TearDown();
    }
    static void type(const char* text) {
        for (const char* c = text; *c; ++c)
            push_key(static_cast<SDLKey>(*c), static_cast<Uint16>(*c));
    }
    // The save button pressed while the chooser's answer waits in the queue.
    static void press_save(LevelLoop& loop) {
        ASSERT_TRUE(loop.handle_event(mouse_event(SDL_MOUSEBUTTONDOWN, 50, 570), MODE_CONSTRUCTION));
    }
    // A machine: a pusher pushing the spawned reds right, and a sensor.
    static void build(Level& level, LevelLoop& loop) {
        auto pusher = std::make_unique<DevicePusher>(2, 5, false, DIR_RIGHT);
        pusher->give_name(0);
        level.devices.push_back(std::move(pusher));
        auto sensor = std::make_unique<DeviceSensor>(4, 4, false, DIR_DOWN);
        sensor->give_name(0);
        level.devices.push_back(std::move(sensor));
        loop.editor->init_box->setText("count = 0");
        loop.editor->cycle_box->setText("count = count + 1\npusher_0.on(count % 2 == 0) -- a, b, c");
    }
    // Steps a level with its saved program for a while; the floor it ends with.
    static std::string floor_after_run(Level& level) {
        ::Run run;
        EXPECT_TRUE(run.start(level, level.init_code.value_or("")));
        for (int i = 0; i < 40; ++i)
            EXPECT_TRUE(run.frame(level, level.cycle_code.value_or(""))) << run.error();
        std::string floor;
        for (int x = 0; x < FLOOR_W; ++x)
            for (int y = 0; y < FLOOR_H; ++y)
                floor += static_cast<char>(level.blocks[x][y]);
        return floor + std::to_string(level.catchers[0]->remaining);
    }

    std::unique_ptr<GameDir> game_;
};
} // namespace

TEST_F(SaveLoadGameTest, SavedMachineComesBackAndRunsTheSame) {
    Level level("push.lvl", 0);
    ASSERT_TRUE(level.load_error.empty()) << level.load_error;
    LevelLoop loop(&info_, &level);
    build(level, loop);
    type("mine");
    push_key(SDLK_RETURN);
    press_save(loop);
    EXPECT_EQ(game_->read("saves/mine.sav"), "push.lvl\n"
                                             "a, 12, 12, 0, 71, 82\n"
                                             "e, 2, 5, 0, 1\n"
                                             "f, 4, 4, 0, 2\n"
                                             "CODE\n"
                                             "1\ncount = 0\n"
                                             "2\ncount = count + 1\npusher_0.on(count % 2 == 0) -- a, b, c\n");

    Level loaded("saves/mine.sav", 1);
    ASSERT_TRUE(loaded.load_error.empty()) << loaded.load_error;
    ASSERT_EQ(loaded.devices.size(), 3u) << "the converter comes back once";
    EXPECT_STREQ(loaded.devices[1]->name, "pusher_0");
    EXPECT_STREQ(loaded.devices[2]->name, "sensor_0");
    LevelLoop reopened(&info_, &loaded);
    EXPECT_EQ(rows_of(*reopened.editor->cycle_box),
              (std::vector<std::string>{"count = count + 1", "pusher_0.on(count % 2 == 0) -- a, b, c"}));
    EXPECT_EQ(saved_program_text(*reopened.editor), saved_program_text(*loop.editor));

    level.init_code = text_of_rows(*loop.editor->init_box);
    level.cycle_code = text_of_rows(*loop.editor->cycle_box);
    std::string original = floor_after_run(level);
    EXPECT_EQ(floor_after_run(loaded), original);
    EXPECT_NE(original.back(), '5') << "the machine delivered something";
}

TEST_F(SaveLoadGameTest, CancelWritesNothingAndReplacingAsksFirst) {
    game_->write("saves/old.sav", "untouched\n");
    Level level("push.lvl", 0);
    LevelLoop loop(&info_, &level);
    type("old");
    push_key(SDLK_ESCAPE);
    press_save(loop);
    type("old");
    push_key(SDLK_RETURN);
    push_key(SDLK_n);
    push_key(SDLK_ESCAPE);
    press_save(loop);
    EXPECT_EQ(game_->read("saves/old.sav"), "untouched\n");
    type("old");
    push_key(SDLK_RETURN);
    push_key(SDLK_y);
    press_save(loop);
    EXPECT_EQ(game_->read("saves/old.sav").rfind("push.lvl\na, 12, 12, 0, 71, 82\nCODE\n1\n", 0), 0u);
}

TEST_F(SaveLoadGameTest, LoadButtonOpensASaveAndReturnsToTheList) {
    game_->write("saves/ok.sav", "push.lvl\ne, 2, 5, 0, 1\nCODE\n0\n0\n");
    push_click(700, 560);
    type("ok");
    push_key(SDLK_RETURN);
    push_key(SDLK_ESCAPE); // leave the loaded level
    push_key(SDLK_y);
    push_key(SDLK_ESCAPE); // leave the list
    level_select(&info_);
    EXPECT_EQ(pending_events(), 1);
}

TEST_F(SaveLoadGameTest, SaveNamingAMissingLevelShowsWhyAndKeepsTheListOpen) {
    game_->write("saves/lost.sav", "gone.lvl\nCODE\n0\n0\n");
    push_click(700, 560);
    type("lost");
    push_key(SDLK_RETURN);
    push_click(400, 400); // dismisses the error screen
    push_key(SDLK_ESCAPE);
    level_select(&info_);
    EXPECT_EQ(pending_events(), 1);
}

TEST_F(SaveLoadGameTest, CorruptSaveEndsTheGameWithItsMessage) {
    game_->write("saves/bad.sav", "push.lvl\nz, 1, 2\nCODE\n0\n0\n");
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            type("bad");
            push_key(SDLK_RETURN);
            push_key(SDLK_SPACE); // closes the message box
            load_save(&info_);
        },
        testing::ExitedWithCode(1), "Error!.*Error loading saved game: Invalid device type!");
}
