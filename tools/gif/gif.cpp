// gearloft-gif: films a saved machine's run as an animated GIF, as the win
// card's G key does (screens/win_gif.h): from step 0 to the win, or for N
// steps, one frame per step (or every Nth), the last held two seconds with
// the win's metrics. It needs no display (it draws on SDL's dummy driver)
// but the game's pictures: run it in the game's working folder.
//
//   gearloft-gif SAVE_FILE OUT.gif [--frames N] [--every N]
//
// A program error is told as gearloft-sim tells it ("error: MESSAGE", then
// "hint: HINT"); a won run prints "steps=S parts=P code=C"; the last line of
// standard output is "frames=F step=S bytes=B won=W" (S the step of the last
// frame, W 1 when the win test passed). A film cut short by a limit says so
// on standard error. The GIF is
// written whole or not at all, also when the run fails or is not won.
// Exit status as gearloft-sim's: 0 won (or N steps filmed), 1 corrupt save
// or unusable level file, 2 program error, 3 not won within the limit or the
// film cut short, 64 bad arguments, 66 a save that cannot be read or no
// pictures; and 73 when the GIF cannot be written.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "files/device_record.h"
#include "files/save_file.h"
#include "files/whole_file.h"
#include "screens/win_gif.h"
#include "text/message_text.h"
#include "toolkit/pictures.h"

#include "../exit_status.h"

namespace {

struct Options {
    std::string save;
    std::string out;
    FilmOptions film;
};

// A count from 1 to `most`: decimal digits only.
std::optional<int> parse_count(const char* text, int most) {
    if (text == nullptr || *text < '0' || *text > '9')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0' || errno != 0 || value < 1 || value > most)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<Options> parse_options(int argc, char** argv) {
    Options options;
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--frames" || arg == "--every") {
            std::optional<int> count = parse_count(i + 1 < argc ? argv[++i] : nullptr, FILM_STEPS_MAX);
            if (!count)
                return std::nullopt;
            if (arg == "--frames")
                options.film.steps = count;
            else
                options.film.every = *count;
        } else if (arg.rfind("-", 0) == 0 || files == 2) {
            return std::nullopt;
        } else {
            (files++ == 0 ? options.save : options.out) = arg;
        }
    }
    if (files != 2)
        return std::nullopt;
    return options;
}

int exit_status(const Film& film) {
    switch (film.end) {
    case FilmEnd::won:
    case FilmEnd::steps_done:
        return EXIT_COMPLETE;
    case FilmEnd::program_error:
        return EXIT_PROGRAM_ERROR;
    default:
        return EXIT_NOT_WON;
    }
}

// Tells how the run and the film ended; the exit status.
int report(const Film& film) {
    if (film.end == FilmEnd::program_error) {
        std::printf("error: %s\n", shortened_message(film.message).c_str());
        if (!film.hint.empty())
            std::printf("hint: %s\n", film.hint.c_str());
    } else if (!film_end_text(film).empty()) {
        std::fprintf(stderr, "gearloft-gif: %s\n", film_end_text(film).c_str());
    }
    if (film.win)
        std::printf("steps=%d parts=%d code=%d\n", film.win->steps, film.win->parts, film.win->code);
    std::printf("frames=%d step=%d bytes=%zu won=%d\n", film.frames, film.last_step, film.gif.size(), film.win ? 1 : 0);
    return exit_status(film);
}

int film_save(const Options& options) {
    LoadResult loaded = load_level(options.save.c_str(), LevelSource::save_file);
    if (!loaded.level) {
        // The game shows the corrupt-save message in a box under this title.
        const char* title = loaded.problem == LoadProblem::invalid_record ? INVALID_RECORD_TITLE : "gearloft-gif";
        std::fprintf(stderr, "%s: %s\n", title, loaded.message.c_str());
        return loaded.problem == LoadProblem::unreadable ? EXIT_NO_INPUT : EXIT_INVALID;
    }
    FreshLevel source = [&options]() { return load_level(options.save.c_str(), LevelSource::save_file); };
    Film film = film_with_plate(source, loaded.par, options.film);
    if (!film_made(film)) {
        std::fprintf(stderr, "gearloft-gif: %s\n", film_end_text(film).c_str());
        return film.end == FilmEnd::no_pictures ? EXIT_NO_INPUT : EXIT_INVALID;
    }
    std::string reason;
    if (!replace_file(options.out, film.gif, reason)) {
        std::fprintf(stderr, "gearloft-gif: cannot write %s: %s\n", options.out.c_str(), reason.c_str());
        return EXIT_CANNOT_WRITE;
    }
    return report(film);
}

} // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = parse_options(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: gearloft-gif SAVE_FILE OUT.gif [--frames N] [--every N]   (N from 1 to %d)\n",
                     FILM_STEPS_MAX);
        return EXIT_USAGE;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || TTF_Init() != 0 || !SDL_SetVideoMode(800, 600, 16, 0)) {
        std::fprintf(stderr, "gearloft-gif: SDL cannot start: %s\n", SDL_GetError());
        return EXIT_INVALID;
    }
    int status = EXIT_NO_INPUT;
    if (cached_picture(RUNNING_BACKGROUND) == nullptr)
        std::fprintf(stderr, "gearloft-gif: the game's pictures are missing (no %s); run it in the game's folder\n",
                     RUNNING_BACKGROUND);
    else
        status = film_save(*options);
    release_pictures();
    close_fonts();
    TTF_Quit();
    SDL_Quit();
    return status;
}
