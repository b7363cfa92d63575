// The film of a winning machine as the game makes it (film/run_film.h): the
// last frame shows the win's metrics on the plate the win card shows them
// on, with the level's par and without the player's bests, so the film is
// the save's alone. The win card offers to write it into the saves folder;
// gearloft-gif writes it from a save.
#ifndef GEARLOFT_SCREENS_WIN_GIF_H
#define GEARLOFT_SCREENS_WIN_GIF_H

#include <SDL.h>

#include <ctime>
#include <string>

#include "files/metrics.h"
#include "film/run_film.h"

class Level;

// Films the run of the level the source gives.
Film film_with_plate(const FreshLevel& source, const Par& par, const FilmOptions& options,
                     const FilmWatcher& watch = nullptr);

// The key that writes the GIF from the win card, and its line on the card,
// below the card's own texts.
constexpr SDLKey GIF_KEY = SDLK_g;
void draw_gif_key(SDL_Surface* screen);

// Where the win card writes the GIF: "saves/LEVEL-YYYYMMDD-HHMMSS.gif", the
// level file's name without its extension and the local time.
std::string gif_path(const std::string& level_name, std::time_t when);

// Writes the GIF of the machine on the floor, as its save would replay it
// (the level file's par on the plate), to gif_path(), whole or not at all;
// shows how far it has come in the status line while it works (Escape
// stops it). The news for the status line: where the file went, or why
// there is none.
struct GifNews {
    std::string text;
    bool written = false;
};
GifNews write_machine_gif(SDL_Surface* screen, Level& level, const std::string& init_code,
                          const std::string& cycle_code, const Par& par);

#endif
