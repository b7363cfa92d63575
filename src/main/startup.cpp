#include "main/startup.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// Says on standard error why the game cannot run, and shuts SDL down.
bool cannot_start(const char* what, const char* why) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "gearloft: %s (DISPLAY=%s): %s\n", what, display ? display : "", why);
    if (TTF_WasInit())
        TTF_Quit();
    SDL_Quit();
    return false;
}

bool set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// Without a display SDL falls back to drawing the game as text art in the
// terminal, which nobody can play; only a player who chose a driver gets it.
bool text_art_by_default() {
    if (set("SDL_VIDEODRIVER"))
        return false;
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    return std::strcmp(driver, "caca") == 0 || std::strcmp(driver, "aalib") == 0;
}

constexpr const char* NO_DISPLAY = "no graphical display";
constexpr const char* CHOOSE_DRIVER =
    "start the game in a desktop session, or choose a video driver with SDL_VIDEODRIVER";
} // namespace

bool init(GameInfo* info) {
    info->screen = nullptr;
    if (!set("DISPLAY") && !set("SDL_VIDEODRIVER"))
        return cannot_start(NO_DISPLAY, CHOOSE_DRIVER);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return cannot_start("cannot start the video system", SDL_GetError());
    if (text_art_by_default())
        return cannot_start(NO_DISPLAY, CHOOSE_DRIVER);
    SDL_EnableUNICODE(1);
    if (TTF_Init() != 0)
        return cannot_start("cannot start the font library", TTF_GetError());
    SDL_WM_SetCaption("Gearloft - Brasswick", "Gearloft - Brasswick");
    info->screen = SDL_SetVideoMode(800, 600, 16, 0);
    if (info->screen == nullptr)
        return cannot_start("cannot open the 800 x 600 window", SDL_GetError());
    return true;
}
