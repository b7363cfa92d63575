// A run filmed as an animated GIF, replayed off screen: the floor as the
// game draws it while running (650 x 550 pixels, its background included),
// one frame per step at the game's pace of 45 steps a second (or one for
// every Nth step), from step 0 to the win, the last picture held for two
// seconds with the win's metrics drawn on it.
//
// A run is a pure function of its save, so the same save gives the same
// film, byte for byte, in the game and in gearloft-gif. The run is replayed
// twice: first to count the colours its pictures show, from which the one
// palette of the film is chosen (film/film_palette.h), then to write each
// frame as the rectangle that changed since the frame before, pixels left
// as they were being see-through (film/gif_stream.h).
//
// Bounds, whatever the program does: at most FILM_STEPS_MAX steps are
// replayed, a film holds at most `frames_max` frames and `bytes_max` bytes
// (its first frame always goes in: it takes at most 2 bytes a pixel), it is
// made in memory of a bounded size, and a film cut short by a limit says so.
#ifndef GEARLOFT_FILM_RUN_FILM_H
#define GEARLOFT_FILM_RUN_FILM_H

#include <SDL.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "devices/floor.h"
#include "files/level_file.h"
#include "files/metrics.h"

// The film's size: the floor.
constexpr int FILM_WIDTH = CELL_PX * FLOOR_W;
constexpr int FILM_HEIGHT = CELL_PX * FLOOR_H;

// Most steps replayed, as gearloft-sim gives up after by default.
constexpr int FILM_STEPS_MAX = 20000;
// Most frames and bytes of a film: about three and a half minutes at one
// frame a step, and a size any player can share.
constexpr int FILM_FRAMES_MAX = 10000;
constexpr std::size_t FILM_BYTES_MAX = std::size_t(32) << 20;
// How long the last picture stays, in hundredths of a second.
constexpr int FILM_HOLD_CS = 200;
// The picture the game draws the running floor over.
constexpr const char* RUNNING_BACKGROUND = "img/background_simulation.gif";

// A frame's delay for every Nth step at 45 steps a second, to the nearest
// hundredth of a second: 2 for every step.
int frame_delay_cs(int every);

struct FilmOptions {
    // Replays exactly this many steps, on past a win as gearloft-sim's
    // --frames does (at most FILM_STEPS_MAX); else up to the win.
    std::optional<int> steps;
    // A frame for every Nth step (1 or more); the last step always has one.
    int every = 1;
    // At least 2: a step and the last frame, held.
    int frames_max = FILM_FRAMES_MAX;
    std::size_t bytes_max = FILM_BYTES_MAX;
};

enum class FilmEnd {
    won,           // replayed to the win: the last frame shows its metrics
    steps_done,    // the steps asked for were replayed
    program_error, // the program failed: the film ends where it stood then
    not_won,       // FILM_STEPS_MAX steps without a win
    frames_cap,    // cut short: no room for more frames
    size_cap,      // cut short: no room for more bytes
    stopped,       // the watcher stopped it: no film
    unloadable,    // the save cannot be loaded: no film
    no_pictures,   // the game's pictures are missing: no film
    gif_failed,    // giflib failed: no film
};

struct Film {
    // The GIF file's bytes; empty when there is no film.
    std::string gif;
    FilmEnd end = FilmEnd::gif_failed;
    // The step the last frame shows, and the number of frames.
    int last_step = 0;
    int frames = 0;
    // The win's metrics, when the win test passed.
    std::optional<Metrics> win;
    // Why there is no film, which limit cut it short, or the program's error
    // message and the hint in the player's terms (run/error_hint.h).
    std::string message;
    std::string hint;
};

// Whether the film was made: every end but the last four.
bool film_made(const Film& film);
// How the film ended, for the player: "" for a film that ends at its win or
// after the steps asked for, else what ended it ("cut short at step 120:
// ...", "the program failed at step 7: ...", why there is no film).
std::string film_end_text(const Film& film);

// How far a film has come: it is surveyed (replayed for its colours) first,
// then written; `last_step` is the step it will end at, known once surveyed.
enum class FilmPass { surveying, writing };
struct FilmProgress {
    FilmPass pass;
    int step;
    int last_step;
};
// Told every few steps; false stops the film.
using FilmWatcher = std::function<bool(const FilmProgress&)>;
// Draws a win's metrics onto the last picture of a film that reached its win.
using WinPlate = std::function<void(SDL_Surface* picture, const Metrics& win)>;
// A fresh level to replay, as loading its save gives it (once per pass).
using FreshLevel = std::function<LoadResult()>;

// Films the run of the level the source gives. Needs the picture and font
// caches ready (SDL's video started, any driver) and the game's pictures.
Film film_run(const FreshLevel& source, const FilmOptions& options, const WinPlate& plate,
              const FilmWatcher& watch = nullptr);

#endif
