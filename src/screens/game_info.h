#ifndef GEARLOFT_SCREENS_GAME_INFO_H
#define GEARLOFT_SCREENS_GAME_INFO_H

#include <SDL.h>

#include "partsbin/parts_bin.h"

// How the floor is shown: as always, or in the inspection view.
enum class FloorLook { plain, inspection };

// What the player chose in the workshop, kept from one level to the next
// while the game runs.
struct WorkshopChoices {
    FloorLook look = FloorLook::plain;
    BinChoices bin;
};

// Handed to every screen: the 800 x 600 window surface they draw into, and
// the workshop choices that outlast a level.
struct GameInfo {
    GameInfo() = default;
    explicit GameInfo(SDL_Surface* window) : screen(window) {}

    SDL_Surface* screen = nullptr;
    WorkshopChoices workshop;
};

#endif
