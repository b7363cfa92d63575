// Driving the level loop headless: a dummy window and queued SDL events.
#ifndef GEARLOFT_TESTS_LOOP_TEST_UTIL_H
#define GEARLOFT_TESTS_LOOP_TEST_UTIL_H

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include "main/game_info.h"

inline SDL_Event key_event(SDLKey key, Uint16 unicode = 0, Uint8 type = SDL_KEYDOWN) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.unicode = unicode;
    return event;
}

inline SDL_Event mouse_event(Uint8 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.button.type = type;
    event.button.button = button;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = static_cast<Uint16>(x);
    event.button.y = static_cast<Uint16>(y);
    return event;
}

inline void push_event(SDL_Event event) { SDL_PushEvent(&event); }
inline void push_key(SDLKey key, Uint16 unicode = 0) {
    push_event(key_event(key, unicode));
    push_event(key_event(key, 0, SDL_KEYUP));
}
inline void push_click(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    push_event(mouse_event(SDL_MOUSEBUTTONDOWN, x, y, button));
    push_event(mouse_event(SDL_MOUSEBUTTONUP, x, y, button));
}
inline void push_quit() {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}
inline int pending_events() {
    SDL_PumpEvents();
    SDL_Event events[64];
    return SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

// A dummy 800 x 600 window for each test.
class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        SDL_Init(SDL_INIT_VIDEO);
        SDL_EnableUNICODE(1);
        info_.screen = SDL_SetVideoMode(800, 600, 16, 0);
        ASSERT_NE(info_.screen, nullptr);
    }
    void TearDown() override { SDL_Quit(); }

    GameInfo info_;
};

#endif
