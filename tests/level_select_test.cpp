// The level list driven by events: which press opens which level, the load
// button, leaving, and the real loop opening a level and coming back.
#include <gtest/gtest.h>

#include "file_test_util.h"
#include "loop_test_util.h"
#include "main/startup.h"

namespace {
class LevelSelectTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        game_ = std::make_unique<GameDir>();
    }
    void TearDown() override {
        game_.reset();
        WindowTest::TearDown();
    }
    void level(const std::string& name, int difficulty, const std::string& description) {
        game_->write("levels/" + name, description + "\n" + std::to_string(difficulty) +
                                           "\n2\nspawner, 3, 3, R, 10\ncatcher, 10, 3, 1, 1, R\n");
    }
    // A list whose presses are recorded instead of acted on.
    std::unique_ptr<LevelSelect> recording_list() {
        auto list = std::make_unique<LevelSelect>(&info_);
        list->open_level = [this](const std::string& name) { opened_.push_back(name); };
        list->open_save = [this] { opened_.push_back("(load)"); };
        return list;
    }
    bool press(LevelSelect& list, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
        bool redraw = false;
        bool stays = list.handle_event(mouse_event(SDL_MOUSEBUTTONDOWN, x, y, button), redraw);
        EXPECT_EQ(redraw, !opened_.empty() && opened_.size() != seen_);
        seen_ = opened_.size();
        return stays;
    }

    std::unique_ptr<GameDir> game_;
    std::vector<std::string> opened_;
    size_t seen_ = 0;
};
} // namespace

TEST_F(LevelSelectTest, RowsFollowDifficultyAndPressesPickThem) {
    level("b.lvl", 3, "Three");
    level("a.lvl", 9, "Nine");
    level("c.lvl", 1, "One");
    auto list = recording_list();
    ASSERT_EQ(list->rows.size(), 3u);
    EXPECT_EQ(list->rows[0].text, "[*        ] One");
    EXPECT_EQ(list->rows[1].text, "[***      ] Three");
    EXPECT_EQ(list->rows[2].text, "[*********] Nine");
    press(*list, 400, 99);
    press(*list, 400, 160);
    EXPECT_TRUE(opened_.empty());
    press(*list, 0, 100);
    press(*list, 799, 159, SDL_BUTTON_RIGHT);
    EXPECT_EQ(opened_, (std::vector<std::string>{"c.lvl", "a.lvl"}));
}

TEST_F(LevelSelectTest, LoadButtonWinsOverARowBeneathIt) {
    for (int i = 0; i < 26; ++i)
        level("level" + std::to_string(100 + i) + ".lvl", 1, "Level " + std::to_string(i));
    auto list = recording_list();
    ASSERT_EQ(list->rows.size(), 26u);
    press(*list, 700, 560);
    press(*list, 600, 560);
    EXPECT_EQ(opened_, (std::vector<std::string>{"(load)", "level123.lvl"}));
}

TEST_F(LevelSelectTest, PagesTurnWhenTheRowsDoNotFit) {
    for (int i = 0; i < 30; ++i)
        level("level" + std::to_string(100 + i) + ".lvl", 1, "Level " + std::to_string(i));
    auto list = recording_list();
    bool redraw = false;
    EXPECT_FALSE(list->handle_event(key_event(SDLK_PAGEUP), redraw) && redraw) << "no page before the first";
    EXPECT_TRUE(list->handle_event(key_event(SDLK_PAGEDOWN), redraw) && redraw);
    press(*list, 300, 100);
    press(*list, 300, 200);
    redraw = false;
    EXPECT_TRUE(list->handle_event(key_event(SDLK_PAGEDOWN), redraw) && !redraw) << "no page after the last";
    EXPECT_TRUE(list->handle_event(key_event(SDLK_PAGEUP), redraw) && redraw);
    press(*list, 300, 100);
    EXPECT_EQ(opened_, (std::vector<std::string>{"level125.lvl", "level100.lvl"}));
}

TEST_F(LevelSelectTest, EscapeAndCloseLeaveTheList) {
    auto list = recording_list();
    bool redraw = false;
    EXPECT_TRUE(list->handle_event(key_event(SDLK_a), redraw));
    EXPECT_FALSE(list->handle_event(key_event(SDLK_ESCAPE), redraw));
    SDL_Event close;
    std::memset(&close, 0, sizeof close);
    close.type = SDL_QUIT;
    EXPECT_FALSE(list->handle_event(close, redraw));
    EXPECT_FALSE(redraw);
}

TEST_F(LevelSelectTest, OpensALevelAndComesBackToTheList) {
    level("a.lvl", 1, "One");
    push_click(300, 105);
    push_key(SDLK_ESCAPE); // in the level: asks to leave
    push_key(SDLK_y);
    push_key(SDLK_ESCAPE); // on the list: the game ends
    level_select(&info_);
    EXPECT_EQ(pending_events(), 1) << "only the release of the last Escape is left";
}

TEST_F(LevelSelectTest, UnreadableLevelShowsItsProblemAndStaysOnTheList) {
    level("a.lvl", 1, "Broken");
    game_->write("levels/a.lvl", "Broken\n1\n1\nconveyer, 3, 3, 999999, 1, 10\n");
    push_click(300, 105);
    push_click(400, 400); // dismisses the error screen
    push_key(SDLK_ESCAPE);
    level_select(&info_);
    EXPECT_EQ(pending_events(), 1) << "only the release of the last Escape is left";
}
