// Gearloft's entry: bring up the window and show the level list until the
// player leaves it.
#include <SDL.h>
#include <SDL_ttf.h>

int main(int, char**) {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_EnableUNICODE(1);
    TTF_Init();
    SDL_WM_SetCaption("Gearloft - Brasswick", "Gearloft - Brasswick");
    SDL_SetVideoMode(800, 600, 16, 0);

    bool running = true;
    while (running) {
        SDL_Delay(50);
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
                running = false;
        }
    }
    SDL_Quit();
    return 0;
}
