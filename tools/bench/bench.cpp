// gearloft-bench: how much a frame of the level loop costs. For every save
// (the campaign's solutions when none are given) it loads the level as the
// load button does, on SDL's dummy video driver with an 800 x 600 x 16
// screen, and times the level loop's own frames without their sleep: a
// construction frame (background, parts bin, floor with its labels) and a
// simulation frame (program, actions, step, drawing). Beside them it times
// one blit of a whole screen-format picture onto the screen, the yardstick.
// Each figure is the median of FRAMES timings; frames and blits take turns,
// so a busy machine weighs on both alike.
//
// Run it in the game's working folder:
//   gearloft-bench [SAVE_FILE ...]
//   gearloft-bench --gif [SAVE_FILE ...]
// With --gif it films each save as the win card's G key does instead (see
// gif_bench.h).
// One line per save: "NAME build_us=B run_us=R blit_us=F ratio=X", X being
// the larger of B and R over F; last "worst ratio X (NAME)". Exit status 0
// when every save was measured, 1 when one could not be, 66 without the
// game's pictures.
#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/save_file.h"
#include "gif_bench.h"
#include "level/level.h"
#include "run/run.h"
#include "screens/level_loop.h"
#include "toolkit/pictures.h"
#include "toolkit/toolkit.h"

namespace {

constexpr int FRAMES = 301;
constexpr int WARM_UP_FRAMES = 10;
constexpr int EXIT_NO_PICTURES = 66;

using Clock = std::chrono::steady_clock;

// The middle one of the timings, in microseconds.
double median_us(std::vector<double> timings) {
    std::sort(timings.begin(), timings.end());
    return timings[timings.size() / 2];
}

template <class Work> double time_us(Work&& work) {
    Clock::time_point start = Clock::now();
    work();
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// The yardstick: a whole screen of the screen's own format, without a key.
class FullScreenBlit {
public:
    explicit FullScreenBlit(SDL_Surface* screen) : screen_(screen) {
        if (!screen)
            return;
        Picture made(SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, 32, 0xFF0000, 0xFF00, 0xFF, 0));
        if (made) {
            SDL_FillRect(made.get(), nullptr, SDL_MapRGB(made->format, 90, 120, 150));
            picture_.reset(SDL_DisplayFormat(made.get()));
        }
    }
    bool ready() const { return picture_ != nullptr; }
    double time() {
        return time_us([this] { SDL_BlitSurface(picture_.get(), nullptr, screen_, nullptr); });
    }

private:
    SDL_Surface* screen_;
    Picture picture_;
};

struct Figures {
    std::vector<double> build, run, blit;
};

// The level loop shows a modal message when a run fails, which would wait
// for a click: the run is tried first on its own, restarting whenever it is
// won, for as many frames as will be timed.
bool runs_without_failure(Level& level, const std::string& init_code, const std::string& cycle_code, std::string& why) {
    Run run;
    bool ok = run.start(level, init_code);
    for (int frame = 0; ok && frame < WARM_UP_FRAMES + FRAMES; ++frame) {
        if (level.win()) {
            level.reset();
            ok = run.start(level, init_code);
        }
        ok = ok && !run.frame(level, cycle_code).failed;
    }
    if (!ok)
        why = "the program fails: " + run.error();
    level.reset();
    return ok;
}

// A building frame with no input is skipped, so each timed one comes with a
// pointer move (queued before the clock starts).
void time_construction(LevelLoop& loop, FullScreenBlit& blit, Figures& figures) {
    for (int frame = 0; frame < WARM_UP_FRAMES + FRAMES; ++frame) {
        SDL_Event pointer_move{SDL_MOUSEMOTION};
        pointer_move.motion.x = pointer_move.motion.y = 10;
        SDL_PushEvent(&pointer_move);
        double spent = time_us([&loop] { loop.step(); });
        if (frame < WARM_UP_FRAMES)
            continue;
        figures.build.push_back(spent);
        figures.blit.push_back(blit.time());
    }
}

// A won run starts again before its next frame, which would show the win
// screen; the restart is not timed.
bool time_simulation(LevelLoop& loop, Level& level, FullScreenBlit& blit, Figures& figures) {
    if (!loop.start_run())
        return false;
    for (int frame = 0; frame < WARM_UP_FRAMES + FRAMES; ++frame) {
        if (level.win()) {
            level.reset();
            if (!loop.start_run())
                return false;
        }
        double spent = time_us([&loop] { loop.step(); });
        if (frame < WARM_UP_FRAMES)
            continue;
        figures.run.push_back(spent);
        figures.blit.push_back(blit.time());
    }
    loop.stop_run();
    return true;
}

struct Measured {
    std::string name;
    double ratio = 0;
};

// Measures one save and prints its line; false, with a message on standard
// error, when it could not be measured.
bool measure(GameInfo& info, const std::string& path, FullScreenBlit& blit, Measured& measured) {
    measured.name = std::filesystem::path(path).stem().string();
    LoadResult loaded = load_level(path.c_str(), LevelSource::save_file);
    std::string why = loaded.message;
    if (loaded.level && !runs_without_failure(*loaded.level, loaded.level->init_code.value_or(""),
                                              loaded.level->cycle_code.value_or(""), why))
        loaded.level.reset();
    if (!loaded.level) {
        std::fprintf(stderr, "%s: cannot be measured: %s\n", measured.name.c_str(), why.c_str());
        return false;
    }
    Figures figures;
    LevelLoop loop(&info, loaded.level.get(), loaded.par);
    time_construction(loop, blit, figures);
    if (!time_simulation(loop, *loaded.level, blit, figures)) {
        std::fprintf(stderr, "%s: cannot be measured: %s\n", measured.name.c_str(), loop.run_error().c_str());
        return false;
    }
    double build = median_us(figures.build), run = median_us(figures.run), full = median_us(figures.blit);
    measured.ratio = std::max(build, run) / full;
    std::printf("%s build_us=%.1f run_us=%.1f blit_us=%.1f ratio=%.2f\n", measured.name.c_str(), build, run, full,
                measured.ratio);
    std::fflush(stdout);
    return true;
}

std::vector<std::string> campaign_solutions() {
    std::vector<std::string> saves;
    std::error_code failure;
    for (const auto& entry : std::filesystem::directory_iterator(GEARLOFT_SOLUTIONS_DIR, failure))
        if (entry.path().extension() == ".sav")
            saves.push_back(entry.path().string());
    std::sort(saves.begin(), saves.end());
    return saves;
}

} // namespace

int main(int argc, char** argv) {
    bool gifs = argc > 1 && std::string(argv[1]) == "--gif";
    std::vector<std::string> saves(argv + (gifs ? 2 : 1), argv + argc);
    if (saves.empty())
        saves = campaign_solutions();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_Init(SDL_INIT_VIDEO);
    TTF_Init();
    GameInfo info;
    info.screen = SDL_SetVideoMode(800, 600, 16, 0);
    FullScreenBlit blit(info.screen);
    int status = 0;
    if (!info.screen || !blit.ready() || !cached_picture("img/background_construction.gif")) {
        std::fprintf(stderr, "gearloft-bench: no screen or no pictures; run it in the game's folder\n");
        status = EXIT_NO_PICTURES;
    }
    if (gifs && status == 0)
        status = bench_gifs(saves);
    Measured worst;
    for (std::size_t i = 0; !gifs && status != EXIT_NO_PICTURES && i < saves.size(); ++i) {
        Measured measured;
        if (!measure(info, saves[i], blit, measured))
            status = 1;
        else if (worst.name.empty() || measured.ratio > worst.ratio)
            worst = measured;
    }
    if (!worst.name.empty())
        std::printf("worst ratio %.2f (%s)\n", worst.ratio, worst.name.c_str());
    else if (status == 0 && !gifs) {
        std::fprintf(stderr, "gearloft-bench: no saves to measure\n");
        status = 1;
    }
    release_pictures();
    close_fonts();
    TTF_Quit();
    SDL_Quit();
    return status;
}
