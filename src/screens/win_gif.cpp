#include "screens/win_gif.h"

#include <filesystem>

#include "files/paths.h"
#include "files/save_file.h"
#include "files/whole_file.h"
#include "screens/level_loop.h"
#include "screens/metrics_panel.h"
#include "screens/status_line.h"
#include "toolkit/toolkit.h"

namespace {
// The hint's line on the win card, centred below its "click" line.
constexpr int HINT_X = 400;
constexpr int HINT_Y = 454;
constexpr int HINT_SIZE = 9;

bool escape_pressed() {
    SDL_PumpEvents();
    SDL_Event event;
    bool escape = false;
    // Only key presses are taken: the card swallows them anyway, and a click
    // stays queued for the card.
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_EVENTMASK(SDL_KEYDOWN)) > 0)
        escape = escape || event.key.keysym.sym == SDLK_ESCAPE;
    return escape;
}

void show_status(SDL_Surface* screen, const std::string& text, StatusTone tone = StatusTone::news) {
    draw_status(screen, text, tone);
    SDL_UpdateRect(screen, STATUS_X, STATUS_Y, STATUS_W, STATUS_H);
}

std::string progress_text(const FilmProgress& progress) {
    std::string step = std::to_string(progress.step);
    if (progress.pass == FilmPass::surveying)
        return "Making the GIF: replaying step " + step + "... (Esc stops)";
    return "Writing the GIF: step " + step + " of " + std::to_string(progress.last_step) + "... (Esc stops)";
}
} // namespace

Film film_with_plate(const FreshLevel& source, const Par& par, const FilmOptions& options, const FilmWatcher& watch) {
    WinPlate plate = [&par](SDL_Surface* picture, const Metrics& win) {
        draw_win_metrics(picture, WinReport{win, std::nullopt, par});
    };
    return film_run(source, options, plate, watch);
}

void draw_gif_key(SDL_Surface* screen) {
    draw_text_center("Press G to save a GIF of this run in the saves folder.", HINT_SIZE, 92, 64, 30, HINT_X, HINT_Y,
                     screen);
}

std::string gif_path(const std::string& level_name, std::time_t when) {
    std::string stem = std::filesystem::path(level_name).stem().string();
    char stamp[32] = "";
    std::tm local{};
    if (localtime_r(&when, &local) != nullptr)
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return std::string(SAVES_FOLDER) + "/" + (stem.empty() || stem[0] == '.' ? "machine" : stem) + "-" + stamp + ".gif";
}

namespace {
GifNews make_machine_gif(SDL_Surface* screen, Level& level, const std::string& init_code, const std::string& cycle_code,
                         const Par& par) {
    std::string save = save_text(level, program_save_text(code_rows(init_code), code_rows(cycle_code)));
    FreshLevel source = [&save]() {
        BetterReader reader = BetterReader::of_text(save);
        return read_save_file(reader);
    };
    FilmWatcher watch = [screen](const FilmProgress& progress) {
        show_status(screen, progress_text(progress));
        return !escape_pressed();
    };
    Film film = film_with_plate(source, par, FilmOptions(), watch);
    std::string ending = film_end_text(film);
    if (film.end == FilmEnd::stopped)
        return {"The GIF was not written: stopped.", false};
    if (!film_made(film))
        return {"Could not make the GIF: " + ending, false};
    std::string path = gif_path(level.level_name, std::time(nullptr));
    std::string reason;
    if (!replace_file(path, film.gif, reason))
        return {"Could not write the GIF: " + reason, false};
    return {"GIF saved to " + shown_path(path) + (ending.empty() ? "" : " (" + ending + ")"), true};
}
} // namespace

GifNews write_machine_gif(SDL_Surface* screen, Level& level, const std::string& init_code,
                          const std::string& cycle_code, const Par& par) {
    GifNews news = make_machine_gif(screen, level, init_code, cycle_code, par);
    show_status(screen, news.text, news.written ? StatusTone::news : StatusTone::refusal);
    return news;
}
