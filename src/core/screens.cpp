#include "core/screens.h"

#include "toolkit/toolkit.h"

namespace {
constexpr int PICTURE_X = 50;
constexpr int PICTURE_Y = 350;
constexpr Uint32 WAIT_MS = 50;

void show_picture(GameInfo* info, const char* path) {
    Picture picture = load_picture(path, false);
    draw_image(picture.get(), PICTURE_X, PICTURE_Y, info->screen);
}

void wait_for_click() {
    wait_for_answer([](const SDL_Event& event) { return event.type == SDL_MOUSEBUTTONDOWN; });
}
} // namespace

void wait_for_answer(const std::function<bool(const SDL_Event&)>& answered) {
    for (;;) {
        SDL_Delay(WAIT_MS);
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (answered(event))
                return;
    }
}

void error(GameInfo* info, const char* message) {
    show_picture(info, "img/error.gif");
    draw_text_center(message, 10, 0, 0, 0, 400, 400, info->screen);
    SDL_Flip(info->screen);
    wait_for_click();
}

bool quit(GameInfo* info) {
    show_picture(info, "img/quit.gif");
    SDL_Flip(info->screen);
    bool leave = false;
    wait_for_answer([&leave](const SDL_Event& event) {
        if (event.type != SDL_KEYDOWN)
            return false;
        SDLKey key = event.key.keysym.sym;
        leave = key == SDLK_y;
        return key == SDLK_y || key == SDLK_n || key == SDLK_ESCAPE;
    });
    return leave;
}

void win(GameInfo* info) {
    show_picture(info, "img/win.gif");
    SDL_Flip(info->screen);
    wait_for_click();
}
