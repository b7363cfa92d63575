// The level's message screens answer only to their own keys and clicks.
#include <gtest/gtest.h>

#include <cstring>

#include "core/screens.h"

namespace {
class ScreensTest : public testing::Test {
protected:
    void SetUp() override {
        SDL_Init(SDL_INIT_VIDEO);
        info_.screen = SDL_SetVideoMode(800, 600, 16, 0);
    }
    void TearDown() override { SDL_Quit(); }

    static void push(Uint8 type, SDLKey key = SDLK_UNKNOWN) {
        SDL_Event event;
        std::memset(&event, 0, sizeof event);
        event.type = type;
        if (type == SDL_KEYDOWN)
            event.key.keysym.sym = key;
        if (type == SDL_MOUSEBUTTONDOWN)
            event.button.button = SDL_BUTTON_WHEELUP;
        SDL_PushEvent(&event);
    }
    static int pending() {
        SDL_PumpEvents();
        SDL_Event events[16];
        return SDL_PeepEvents(events, 16, SDL_PEEKEVENT, SDL_ALLEVENTS);
    }

    GameInfo info_;
};
} // namespace

TEST_F(ScreensTest, QuitAnswersYesOnlyToY) {
    push(SDL_MOUSEBUTTONDOWN);
    push(SDL_QUIT);
    push(SDL_KEYDOWN, SDLK_a);
    push(SDL_KEYDOWN, SDLK_y);
    push(SDL_KEYDOWN, SDLK_SPACE);
    EXPECT_TRUE(quit(&info_));
    EXPECT_EQ(pending(), 1) << "events after the answer stay queued";
}

TEST_F(ScreensTest, QuitAnswersNoToNAndEscape) {
    push(SDL_KEYDOWN, SDLK_n);
    EXPECT_FALSE(quit(&info_));
    push(SDL_MOUSEBUTTONDOWN);
    push(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_FALSE(quit(&info_));
    EXPECT_EQ(pending(), 0);
}

TEST_F(ScreensTest, ErrorAndWinSwallowKeysUntilAClick) {
    push(SDL_KEYDOWN, SDLK_ESCAPE);
    push(SDL_KEYDOWN, SDLK_SPACE);
    push(SDL_MOUSEBUTTONDOWN);
    push(SDL_KEYDOWN, SDLK_a);
    error(&info_, "device not found: pusher_7");
    EXPECT_EQ(pending(), 1);
    push(SDL_MOUSEBUTTONDOWN);
    win(&info_);
    EXPECT_EQ(pending(), 0) << "the key left over from the error screen was swallowed";
}
