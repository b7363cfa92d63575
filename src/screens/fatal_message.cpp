#include "screens/fatal_message.h"

#include <cstdio>
#include <cstdlib>

#include "files/level_file.h"
#include "screens/message_screens.h"
#include "toolkit/pictures.h"
#include "toolkit/present.h"
#include "toolkit/toolkit.h"

namespace {
constexpr int BOX_W = 460;
constexpr int BOX_H = 110;
constexpr int TITLE_H = 22;
constexpr int BORDER = 2;

bool dismisses(const SDL_Event& event) {
    return event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_QUIT;
}
} // namespace

LoadOutcome load_outcome(const LoadResult& loaded) {
    switch (loaded.problem) {
    case LoadProblem::none: return LoadOutcome::open;
    case LoadProblem::invalid_record: return LoadOutcome::fatal;
    default: return LoadOutcome::show_error;
    }
}

void draw_message_box(SDL_Surface* screen, const char* title, const char* text) {
    int left = (screen->w - BOX_W) / 2;
    int top = (screen->h - BOX_H) / 2;
    int centre = screen->w / 2;
    fill_rect(screen, left, top, BOX_W, BOX_H, 40, 40, 40);
    fill_rect(screen, left + BORDER, top + BORDER, BOX_W - 2 * BORDER, TITLE_H, 160, 20, 20);
    fill_rect(screen, left + BORDER, top + BORDER + TITLE_H, BOX_W - 2 * BORDER, BOX_H - 2 * BORDER - TITLE_H, 230,
         230, 230);
    draw_text(title, 12, 255, 255, 255, left + 8, top + BORDER + 4, screen);
    draw_text_center(text, 10, 0, 0, 0, centre, top + 55, screen);
    draw_text_center("Press a key or click to quit.", 10, 90, 90, 90, centre, top + 85, screen);
}

void fatal_message(SDL_Surface* screen, const char* title, const char* text) {
    std::fprintf(stderr, "%s: %s\n", title, text);
    if (screen != nullptr) {
        draw_message_box(screen, title, text);
        present_screen(screen);
        wait_for_answer(dismisses);
    }
    // The same shutdown as a normal end of the game, fonts first.
    release_pictures();
    close_fonts();
    SDL_Quit();
    std::exit(1);
}
