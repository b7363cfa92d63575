// Gearloft's entry: bring up the window and show the level list until the
// player leaves it.
#include <SDL.h>

#include "main/startup.h"
#include "screens/level_list.h"
#include "toolkit/pictures.h"
#include "toolkit/toolkit.h"

int main(int, char**) {
    GameInfo info;
    if (!init(&info))
        return 1;
    level_select(&info);
    release_pictures();
    close_fonts();
    SDL_Quit();
    return 0;
}
