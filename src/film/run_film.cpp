#include "film/run_film.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "film/film_palette.h"
#include "film/frame_diff.h"
#include "film/gif_stream.h"
#include "level/level.h"
#include "run/error_hint.h"
#include "run/measure.h"
#include "run/run.h"
#include "text/message_text.h"
#include "toolkit/pictures.h"
#include "toolkit/sdl_canvas.h"
#include "view/floor_view.h"

namespace {
constexpr int STEPS_PER_SECOND = 45;
// The watcher hears of every this many steps.
constexpr int PROGRESS_STEPS = 16;

// The film's pictures: 16-bit like the game's window, in its layout when
// there is one, so that every picture draws the pixels it draws there.
Picture film_picture() {
    const SDL_Surface* screen = SDL_GetVideoSurface();
    const SDL_PixelFormat* like = screen != nullptr && screen->format->BytesPerPixel == 2 ? screen->format : nullptr;
    return Picture(SDL_CreateRGBSurface(SDL_SWSURFACE, FILM_WIDTH, FILM_HEIGHT, 16, like ? like->Rmask : 0xF800,
                                        like ? like->Gmask : 0x07E0, like ? like->Bmask : 0x001F, 0));
}

// The floor as the level loop draws it on each frame of a run.
void draw_running_floor(SDL_Surface* picture, const Level& level) {
    draw_image(cached_picture(RUNNING_BACKGROUND), 0, 0, picture);
    SdlCanvas canvas(picture);
    draw_floor(canvas, level, Phase::running);
}

// What a picture is to the film: the floor at a step, or the last picture
// held at the end.
enum class FrameRole { step, hold };

// Where the pictures of a film go, in order.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Takes the picture as the next frame; false when the film has no room
    // for it, which ends the film before it.
    virtual bool take(const SDL_Surface* picture, int delay_cs, FrameRole role) = 0;
    // The last frame's picture again, for as long; every frame of a step
    // leaves room for it.
    virtual void repeat(int delay_cs) = 0;
};

// The first pass: counts the colours of the pixels each frame will store.
class ColourSurvey : public FrameSink {
public:
    ColourSurvey() : diff_(FILM_WIDTH, FILM_HEIGHT) {}
    const ColourCount& counted() const { return counted_; }

    bool take(const SDL_Surface* picture, int, FrameRole) override {
        PixelRect area = diff_.changes(picture);
        bool first = diff_.first();
        for (int y = area.y; y < area.y + area.h; ++y) {
            const Uint16* now = pixel_row(picture, y);
            const Uint16* before = diff_.kept_row(y);
            for (int x = area.x; x < area.x + area.w; ++x)
                if (first || now[x] != before[x])
                    counted_.add(now[x]);
        }
        diff_.keep(picture, area);
        return true;
    }
    void repeat(int) override {}

private:
    FrameDiff diff_;
    ColourCount counted_;
};

// The second pass: each frame as the rectangle that changed, in the film's
// palette, its unchanged pixels see-through.
class GifWriter : public FrameSink {
public:
    GifWriter(FilmPalette& palette, std::size_t bytes_max)
        : palette_(palette), stream_(FILM_WIDTH, FILM_HEIGHT, palette.colours()), bytes_max_(bytes_max),
          diff_(FILM_WIDTH, FILM_HEIGHT) {}

    bool take(const SDL_Surface* picture, int delay_cs, FrameRole role) override {
        PixelRect area = diff_.changes(picture);
        if (area.w == 0)
            area = WAITING;
        // A frame of a step leaves room for a repeat; the first frame always
        // goes in.
        std::size_t room = GifStream::frame_bytes_max(std::size_t(area.w) * area.h) +
                           (role == FrameRole::step ? GifStream::frame_bytes_max(1) : 0);
        bool first = diff_.first();
        if (!first && stream_.size() + room > bytes_max_)
            return false;
        indices_.resize(std::size_t(area.w) * area.h);
        std::uint8_t* index = indices_.data();
        for (int y = area.y; y < area.y + area.h; ++y) {
            const Uint16* now = pixel_row(picture, y);
            const Uint16* before = diff_.kept_row(y);
            for (int x = area.x; x < area.x + area.w; ++x)
                *index++ = !first && now[x] == before[x] ? FilmPalette::UNCHANGED : palette_.index_of(now[x]);
        }
        diff_.keep(picture, area);
        return stream_.add_frame(area, indices_, delay_cs, {!first, FilmPalette::UNCHANGED});
    }

    void repeat(int delay_cs) override {
        indices_.assign(1, FilmPalette::UNCHANGED);
        stream_.add_frame(WAITING, indices_, delay_cs, {true, FilmPalette::UNCHANGED});
    }

    std::string finish() { return stream_.finish(); }

private:
    // A frame that changes nothing: one see-through pixel.
    static constexpr PixelRect WAITING{0, 0, 1, 1};
    FilmPalette& palette_;
    GifStream stream_;
    std::size_t bytes_max_;
    FrameDiff diff_;
    std::vector<std::uint8_t> indices_;
};

// One pass: replays the level from step 0 and hands its pictures to a sink.
class Filming {
public:
    Filming(Level& level, const FilmOptions& options, SDL_Surface* picture, FrameSink& sink)
        : level_(level), options_(options), picture_(picture), sink_(sink) {}

    // Replays up to the end, then holds the last picture (with the win's
    // metrics when the film reached the win). The film's end, last step,
    // frames, win and message are filled in; false when the watcher stopped it.
    bool film(Film& film, const WinPlate& plate, const FilmWatcher& watch, FilmPass pass, int last_step);

private:
    Level& level_;
    const FilmOptions& options_;
    SDL_Surface* picture_;
    FrameSink& sink_;
    Run run_;
    Film* film_ = nullptr;
    // The step the last frame showed; none yet.
    int shown_ = -1;

    void replay(const FilmWatcher& watch, FilmPass pass, int last_step);
    void run_frame(FrameResult& result);
    bool show(int step);
    void hold(const WinPlate& plate);
    void cut(FilmEnd end, const std::string& limit) {
        film_->end = end;
        film_->message = "a film holds at most " + limit;
    }
};

bool Filming::film(Film& film, const WinPlate& plate, const FilmWatcher& watch, FilmPass pass, int last_step) {
    film_ = &film;
    replay(watch, pass, last_step);
    if (film.end == FilmEnd::stopped)
        return false;
    // The last step has a frame, whatever `every` skipped.
    bool cut = film.end == FilmEnd::frames_cap || film.end == FilmEnd::size_cap;
    if (!cut && shown_ != level_.ticks)
        show(level_.ticks);
    hold(plate);
    film.last_step = shown_;
    return true;
}

// Each step's picture before the frame that steps on from it: the frame may
// end the film at that step instead (a win, a failure), and leaves the level
// standing there when it does.
void Filming::replay(const FilmWatcher& watch, FilmPass pass, int last_step) {
    Film& film = *film_;
    int limit = options_.steps.value_or(FILM_STEPS_MAX);
    bool started = run_.start(level_, level_.init_code.value_or(""));
    for (int step = 0;; ++step) {
        if (watch && step % PROGRESS_STEPS == 0 && !watch({pass, step, last_step})) {
            film.end = FilmEnd::stopped;
            return;
        }
        if (step % options_.every == 0 && !show(step))
            return;
        FrameResult result;
        if (!started)
            result.failed = true;
        else if (step == limit)
            result.won = !options_.steps && level_.win(), result.steps = step;
        else
            run_frame(result);
        if (result.won && !film.win)
            film.win = measure_win(level_, result.steps, level_.init_code.value_or(""), level_.cycle_code.value_or(""));
        if (result.failed) {
            film.end = FilmEnd::program_error;
            film.message = run_.error();
            film.hint = error_hint(run_.failure(), level_);
            return;
        }
        if (step == limit || !result.stepped) {
            film.end = options_.steps ? FilmEnd::steps_done : film.win ? FilmEnd::won : FilmEnd::not_won;
            return;
        }
    }
}

void Filming::run_frame(FrameResult& result) {
    AtWin at_win = options_.steps ? AtWin::finish_frame : AtWin::stop;
    result = run_.frame(level_, level_.cycle_code.value_or(""), at_win);
}

// The level's picture as the next frame, when the film has room for it.
bool Filming::show(int step) {
    if (film_->frames + 1 >= options_.frames_max) { // the last frame, held, needs one
        cut(FilmEnd::frames_cap, std::to_string(options_.frames_max) + " frames");
        return false;
    }
    draw_running_floor(picture_, level_);
    if (!sink_.take(picture_, frame_delay_cs(options_.every), FrameRole::step)) {
        cut(FilmEnd::size_cap, std::to_string(options_.bytes_max) + " bytes");
        return false;
    }
    ++film_->frames;
    shown_ = step;
    return true;
}

// The last frame's picture again, for two seconds: with the win's metrics
// when the film got to the win (and they fit).
void Filming::hold(const WinPlate& plate) {
    ++film_->frames;
    bool at_win = film_->win && (film_->end == FilmEnd::won || film_->end == FilmEnd::steps_done);
    if (at_win && plate) {
        plate(picture_, *film_->win);
        if (sink_.take(picture_, FILM_HOLD_CS, FrameRole::hold))
            return;
        cut(FilmEnd::size_cap, std::to_string(options_.bytes_max) + " bytes");
    }
    sink_.repeat(FILM_HOLD_CS);
}

Film no_film(FilmEnd end, std::string message = "") {
    Film film;
    film.end = end;
    film.message = std::move(message);
    return film;
}

// One pass over a freshly loaded level.
Film film_pass(const FreshLevel& source, const FilmOptions& options, SDL_Surface* picture, FrameSink& sink,
               const WinPlate& plate, const FilmWatcher& watch, FilmPass pass, int last_step) {
    LoadResult loaded = source();
    if (!loaded.level)
        return no_film(FilmEnd::unloadable, loaded.message);
    Film film;
    Filming filming(*loaded.level, options, picture, sink);
    if (!filming.film(film, plate, watch, pass, last_step))
        return no_film(FilmEnd::stopped);
    return film;
}
} // namespace

int frame_delay_cs(int every) {
    return (100 * every + STEPS_PER_SECOND / 2) / STEPS_PER_SECOND;
}

bool film_made(const Film& film) {
    return film.end != FilmEnd::stopped && film.end != FilmEnd::unloadable && film.end != FilmEnd::no_pictures &&
           film.end != FilmEnd::gif_failed;
}

std::string film_end_text(const Film& film) {
    std::string at = "at step " + std::to_string(film.last_step);
    switch (film.end) {
    case FilmEnd::won:
    case FilmEnd::steps_done:
        return "";
    case FilmEnd::program_error:
        return "the program failed " + at + ": " + shortened_message(film.message);
    case FilmEnd::not_won:
        return "not won within " + std::to_string(FILM_STEPS_MAX) + " steps";
    case FilmEnd::frames_cap:
    case FilmEnd::size_cap:
        return "cut short " + at + ": " + film.message;
    case FilmEnd::stopped:
        return "stopped";
    case FilmEnd::unloadable:
        return film.message;
    case FilmEnd::no_pictures:
        return std::string("the game's pictures are missing (no ") + RUNNING_BACKGROUND + " here)";
    case FilmEnd::gif_failed:
        return "giflib could not write the film";
    }
    return "";
}

Film film_run(const FreshLevel& source, const FilmOptions& options, const WinPlate& plate, const FilmWatcher& watch) {
    if (cached_picture(RUNNING_BACKGROUND) == nullptr)
        return no_film(FilmEnd::no_pictures);
    Picture picture = film_picture();
    if (!picture)
        return no_film(FilmEnd::gif_failed);
    FilmOptions sane = options;
    sane.every = std::max(1, options.every);
    sane.frames_max = std::max(2, options.frames_max);
    ColourSurvey survey;
    Film surveyed = film_pass(source, sane, picture.get(), survey, plate, watch, FilmPass::surveying, 0);
    if (!film_made(surveyed))
        return surveyed;
    FilmPalette palette(survey.counted(), *picture->format);
    GifWriter writer(palette, sane.bytes_max);
    Film film = film_pass(source, sane, picture.get(), writer, plate, watch, FilmPass::writing, surveyed.last_step);
    if (film_made(film)) {
        film.gif = writer.finish();
        if (film.gif.empty())
            return no_film(FilmEnd::gif_failed);
    }
    return film;
}
