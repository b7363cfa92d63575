#include "screens/clock.h"

#include <SDL.h>

void Clock::tick(int fps) {
    if (fps > 0)
        SDL_Delay(static_cast<Uint32>(1000 / fps));
}
