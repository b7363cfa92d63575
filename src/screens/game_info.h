#ifndef GEARLOFT_SCREENS_GAME_INFO_H
#define GEARLOFT_SCREENS_GAME_INFO_H

#include <SDL.h>

// Handed to every screen: the 800 x 600 window surface they draw into.
struct GameInfo {
    SDL_Surface* screen = nullptr;
};

#endif
