#include "main/startup.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

// SDL goes to the X server named by DISPLAY unless told to use another driver.
bool uses_x11() {
    return set("DISPLAY") && (!set("SDL_VIDEODRIVER") || std::strcmp(std::getenv("SDL_VIDEODRIVER"), "x11") == 0);
}

// An X server started without -noreset (a bare Xvfb, say) resets whenever
// its last client leaves and turns new clients away while it does. SDL opens
// the display twice in a row, once to see that X answers and once to use it,
// and the first connection, closing, can be that last client: the second is
// then refused. A connection of our own, held while SDL starts, keeps the
// server from resetting under it.
class DisplayHold {
public:
    DisplayHold() {
        if (!uses_x11())
            return;
        // The server may still be resetting after an earlier client left.
        for (int attempt = 0; attempt < ATTEMPTS && display_ == nullptr; ++attempt) {
            if (attempt > 0)
                SDL_Delay(RETRY_MS);
            display_ = XOpenDisplay(nullptr);
        }
    }
    ~DisplayHold() {
        if (display_ != nullptr)
            XCloseDisplay(display_);
    }
    DisplayHold(const DisplayHold&) = delete;
    DisplayHold& operator=(const DisplayHold&) = delete;

private:
    static constexpr int ATTEMPTS = 10;
    static constexpr Uint32 RETRY_MS = 100;
    Display* display_ = nullptr;
};

constexpr const char* NO_DISPLAY = "no graphical display";
constexpr const char* NO_X_SERVER =
    "is an X server running on that display, and does it let this user in (xauth, xhost)?";
constexpr const char* CHOOSE_DRIVER =
    "start the game in a desktop session, or choose a video driver with SDL_VIDEODRIVER";
} // namespace

bool init(GameInfo* info) {
    info->screen = nullptr;
    if (!set("DISPLAY") && !set("SDL_VIDEODRIVER"))
        return cannot_start(NO_DISPLAY, CHOOSE_DRIVER);
    DisplayHold hold;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::string why = SDL_GetError() + (uses_x11() ? std::string("; ") + NO_X_SERVER : std::string());
        return cannot_start("cannot start the video system", why.c_str());
    }
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
