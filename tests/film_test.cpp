// Films of runs (film/run_film.h), decoded with giflib: the frames are the
// game's own drawing of the floor, the last one its win plate; the bounds
// hold; the win card's key writes the same film into the saves folder.
#include <gif_lib.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>

#include "files/save_file.h"
#include "film/frame_diff.h"
#include "film/median_cut.h"
#include "film/run_film.h"
#include "level/level.h"
#include "screens/level_loop.h"
#include "screens/metrics_panel.h"
#include "screens/win_gif.h"
#include "support.h"

namespace fs = std::filesystem;

namespace {
// What a viewer shows of a GIF: its size, palette, frames and their delays,
// and the whole picture after the first frame and after the last.
struct Watched {
    int width = 0, height = 0;
    std::vector<Rgb> palette;
    std::vector<int> delays;
    std::vector<GifByteType> first, last;
};

int read_bytes(GifFileType* gif, GifByteType* into, int length) {
    auto* rest = static_cast<std::string*>(gif->UserData);
    int n = std::min(length, static_cast<int>(rest->size()));
    std::copy(rest->begin(), rest->begin() + n, into);
    rest->erase(0, static_cast<std::size_t>(n));
    return n;
}

// Lays every frame over the picture the ones before left, as viewers do.
testing::AssertionResult watch(std::string bytes, Watched& seen) {
    int error = 0;
    GifFileType* gif = DGifOpen(&bytes, read_bytes, &error);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK)
        return testing::AssertionFailure() << "giflib cannot read it: error " << (gif ? gif->Error : error);
    seen.width = gif->SWidth, seen.height = gif->SHeight;
    for (int i = 0; gif->SColorMap && i < gif->SColorMap->ColorCount; ++i) {
        GifColorType c = gif->SColorMap->Colors[i];
        seen.palette.push_back({c.Red, c.Green, c.Blue});
    }
    std::vector<GifByteType> picture(static_cast<std::size_t>(seen.width) * seen.height);
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        seen.delays.push_back(control.DelayTime);
        const SavedImage& frame = gif->SavedImages[i];
        const GifImageDesc& at = frame.ImageDesc;
        for (int y = 0; y < at.Height; ++y)
            for (int x = 0; x < at.Width; ++x) {
                GifByteType index = frame.RasterBits[y * at.Width + x];
                if (index != control.TransparentColor)
                    picture[static_cast<std::size_t>(at.Top + y) * seen.width + at.Left + x] = index;
            }
        if (i == 0)
            seen.first = picture;
    }
    seen.last = picture;
    DGifCloseFile(gif, &error);
    return testing::AssertionSuccess();
}

// The picture shows the window's floor (its top `rows` rows) in the
// palette's colours: each pixel the colour nearest to the window's.
testing::AssertionResult shows_floor(const Watched& gif, const std::vector<GifByteType>& picture, SDL_Surface* window,
                                     int rows = FILM_HEIGHT) {
    std::vector<Rgb> colours(gif.palette.begin(), gif.palette.end() - 1); // the last one is see-through
    std::map<Uint32, Rgb> nearest;
    int wrong = 0;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < FILM_WIDTH; ++x) {
            Uint32 pixel = pixel_at(window, x, y);
            if (!nearest.count(pixel)) {
                Uint8 r, g, b;
                SDL_GetRGB(pixel, window->format, &r, &g, &b);
                nearest[pixel] = colours[static_cast<std::size_t>(nearest_colour(colours, {r, g, b}))];
            }
            wrong += gif.palette[picture[static_cast<std::size_t>(y) * FILM_WIDTH + x]] != nearest[pixel];
        }
    if (wrong == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << wrong << " pixels differ";
}

// The campaign's first solution: its level is in the game's folder.
std::string first_solution() {
    std::vector<std::string> saves;
    for (const auto& entry : fs::directory_iterator(GEARLOFT_TEST_DATA_DIR "/solutions"))
        saves.push_back(entry.path().string());
    std::sort(saves.begin(), saves.end());
    return saves.front();
}

Film film_of_save(const std::string& path, const FilmOptions& options = FilmOptions()) {
    LoadResult loaded = load_level(path.c_str(), LevelSource::save_file);
    return film_with_plate([&path] { return load_level(path.c_str(), LevelSource::save_file); }, loaded.par, options);
}

// A level won in 23 steps: a belt takes each block from the spawner to the
// catcher.
const char* const TINY_LEVEL =
    "A tiny run\n1\n3\nspawner, 2, 2, R, 4\nconveyer, 2, 2, 3, 1, 2\ncatcher, 4, 1, 1, 1, R\n";
constexpr int TINY_WIN_STEPS = 23;
std::string save_of(const std::string& cycle_code) {
    return "tiny.lvl\nCODE\n0\n" + std::to_string(code_rows(cycle_code).size()) + "\n" + cycle_code;
}
Film film_of_tiny(const std::string& cycle_code, const FilmOptions& options) {
    std::string save = save_of(cycle_code);
    return film_run([&save] { return save_from_text(save, {{"tiny.lvl", TINY_LEVEL}}); }, options, nullptr);
}

using FilmTest = WindowTest;
} // namespace

// One frame per step from step 0, each as the level loop draws the floor of
// a run (stepped by hand with S, so it stands still for the comparison),
// and the last held with the win plate; the same save films the same bytes.
// A frame stores the smallest rectangle round what changed: here a pixel at
// the end of one row and one near the start of the next, which the rows'
// scans must not run into.
TEST(FrameDiff, ChangesAreTheSmallestRectangleRoundTheChangedPixels) {
    Picture picture = make_surface(8, 3);
    FrameDiff diff(8, 3);
    auto rect_of = [](const PixelRect& r) { return std::vector<int>{r.x, r.y, r.w, r.h}; };
    EXPECT_EQ(rect_of(diff.changes(picture.get())), (std::vector<int>{0, 0, 8, 3})) << "all of the first is new";
    diff.keep(picture.get(), {0, 0, 8, 3});
    EXPECT_EQ(rect_of(diff.changes(picture.get())), (std::vector<int>{0, 0, 0, 0}));
    auto set = [&](int x, int y) {
        const_cast<Uint16*>(pixel_row(picture.get(), y))[x] = 0xFFFF;
    };
    set(7, 0);
    set(1, 1);
    EXPECT_EQ(rect_of(diff.changes(picture.get())), (std::vector<int>{1, 0, 7, 2}));
}

TEST_F(FilmTest, FramesAreTheGamesFloorStepByStepAndTheLastShowsTheWinPlate) {
    std::string save = first_solution();
    Film film = film_of_save(save);
    ASSERT_EQ(film.end, FilmEnd::won) << film_end_text(film);
    ASSERT_TRUE(film.win);
    Watched gif;
    ASSERT_TRUE(watch(film.gif, gif));
    EXPECT_EQ(gif.width, 650);
    EXPECT_EQ(gif.height, 550);
    EXPECT_LT(film.gif.size(), std::size_t(2) << 20);
    EXPECT_EQ(film.last_step, film.win->steps);
    ASSERT_EQ(film.frames, film.win->steps + 2) << "steps 0 to the win, then the held plate";
    ASSERT_EQ(gif.delays.size(), static_cast<std::size_t>(film.frames));
    EXPECT_EQ(std::count(gif.delays.begin(), gif.delays.end() - 1, 2), film.frames - 1);
    EXPECT_EQ(gif.delays.back(), 200);
    EXPECT_EQ(film_of_save(save).gif, film.gif) << "a second film of the save";

    LoadResult loaded = load_level(save.c_str(), LevelSource::save_file);
    LevelLoop loop(&info_, loaded.level.get(), loaded.par);
    push_key(SDLK_s);
    ASSERT_TRUE(loop.step());
    ASSERT_TRUE(loop.step());
    EXPECT_TRUE(shows_floor(gif, gif.first, info_.screen)) << "step 0";
    for (int step = 1; step <= film.win->steps; ++step) {
        push_key(SDLK_s);
        ASSERT_TRUE(loop.step());
    }
    ASSERT_EQ(loaded.level->ticks, film.win->steps);
    ASSERT_TRUE(loaded.level->win());
    draw_win_metrics(info_.screen, {*film.win, std::nullopt, loaded.par});
    EXPECT_TRUE(shows_floor(gif, gif.last, info_.screen)) << "the win plate over the winning floor";
}

// Films end where the run ends, held two seconds, and never pass their
// limits; without pictures there is no film.
TEST_F(FilmTest, FilmsEndAtErrorsLimitsAndCapsAndSaySo) {
    FilmOptions options;
    Film failed = film_of_tiny("n = (n or 0) + 1\nif n > 5 then error('boom') end\n", options);
    EXPECT_EQ(failed.end, FilmEnd::program_error);
    EXPECT_EQ(failed.last_step, 5);
    EXPECT_EQ(failed.frames, 7);
    EXPECT_NE(film_end_text(failed).find("the program failed at step 5: "), std::string::npos) << film_end_text(failed);
    EXPECT_NE(failed.message.find("boom"), std::string::npos);

    options.every = 2000;
    Film sparse = film_of_tiny("", options);
    EXPECT_EQ(sparse.end, FilmEnd::won);
    EXPECT_EQ(sparse.frames, 3) << "step 0, the win's step, held";
    Film never = film_run(
        [] {
            return save_from_text("tiny.lvl\nCODE\n0\n0\n", {{"tiny.lvl", "A\n1\n2\nspawner, 2, 2, R, 4\n"
                                                                          "catcher, 9, 9, 1, 1, R\n"}});
        },
        options, nullptr);
    EXPECT_EQ(never.end, FilmEnd::not_won);
    EXPECT_EQ(never.last_step, FILM_STEPS_MAX);
    EXPECT_EQ(never.frames, FILM_STEPS_MAX / 2000 + 2);
    EXPECT_EQ(film_end_text(never), "not won within 20000 steps");

    options = FilmOptions();
    options.frames_max = 10;
    Film short_film = film_of_tiny("", options);
    EXPECT_EQ(short_film.end, FilmEnd::frames_cap);
    EXPECT_EQ(short_film.frames, 10);
    EXPECT_EQ(film_end_text(short_film), "cut short at step 8: a film holds at most 10 frames");
    options = FilmOptions();
    options.bytes_max = film_of_tiny("", options).gif.size() - 2000;
    Film small = film_of_tiny("", options);
    EXPECT_EQ(small.end, FilmEnd::size_cap);
    EXPECT_LE(small.gif.size(), options.bytes_max);
    EXPECT_EQ(film_end_text(small), "cut short at step " + std::to_string(small.last_step) + ": a film holds at most " +
                                        std::to_string(options.bytes_max) + " bytes");
    for (const Film* film : {&failed, &never, &short_film, &small}) {
        Watched gif;
        ASSERT_TRUE(watch(film->gif, gif));
        EXPECT_EQ(gif.delays.size(), static_cast<std::size_t>(film->frames));
        EXPECT_EQ(gif.delays.back(), 200) << film_end_text(*film) << " " << film->frames;
    }

    ScratchDir empty;
    auto inside = empty.enter();
    Film none = film_of_tiny("", FilmOptions());
    EXPECT_EQ(none.end, FilmEnd::no_pictures);
    EXPECT_FALSE(film_made(none));
    EXPECT_TRUE(none.gif.empty());
}

// G on the win card films the machine just won, as gearloft-gif would film
// its save, into saves/LEVEL-YYYYMMDD-HHMMSS.gif; a folder that cannot take
// it is named in the status line and nothing is written.
TEST_F(FilmTest, TheWinCardsKeyWritesTheFilmIntoTheSavesFolderOrSaysWhyNot) {
    ScratchDir folder;
    for (const char* shared : {"img", "dina.fon"})
        fs::create_symlink(fs::current_path() / shared, fs::path(folder.path()) / shared);
    folder.write("levels/tiny.lvl", TINY_LEVEL);
    folder.write("saves/tiny.sav", save_of(""));
    auto inside = folder.enter();
    Film expected = film_of_save("saves/tiny.sav");
    LoadResult loaded = load_level("saves/tiny.sav", LevelSource::save_file);
    LevelLoop loop(&info_, loaded.level.get(), loaded.par);
    auto win_and_press = [&](SDLKey key) {
        push_key(SDLK_SPACE);
        for (int frame = 0; frame <= TINY_WIN_STEPS; ++frame)
            loop.step();
        ASSERT_TRUE(loaded.level->win());
        push_key(SDLK_a);
        push_key(key);
        push_click(400, 455);
        loop.frame_work(LoopMode::simulation);
    };

    win_and_press(GIF_KEY);
    std::vector<fs::path> gifs;
    for (const auto& entry : fs::directory_iterator("saves"))
        if (entry.path().extension() == ".gif")
            gifs.push_back(entry.path());
    ASSERT_EQ(gifs.size(), 1u);
    EXPECT_EQ(loop.status_text(), "GIF saved to " + gifs[0].string());
    EXPECT_EQ(gifs[0].string().size(), std::string("saves/tiny-20261207-063000.gif").size());
    EXPECT_EQ(folder.read(gifs[0].string()), expected.gif);

    fs::remove_all("saves");
    folder.write("saves", "a file where the folder was");
    win_and_press(GIF_KEY);
    EXPECT_EQ(loop.status_text(), "Could not write the GIF: Not a directory");
    EXPECT_EQ(folder.read("saves"), "a file where the folder was");
}

// gearloft-gif on the runner's levels and saves (see sim_test.cpp), in a
// scratch folder with the game's pictures and font, or without them.
TEST(GifTool, ExitStatusOutputAndFileForEachCommandLine) {
    ScratchDir dir;
    fs::copy(GEARLOFT_TEST_DATA_DIR "/sim", dir.path(), fs::copy_options::recursive);
    const struct {
        const char* args;
        int status;
        std::string out; // the start of standard output
        std::string err; // a part of standard error
    } cases[] = {
        {"saves/solution.sav out.gif", 0, "steps=25 parts=1 code=13\nframes=27 step=25 bytes=", ""},
        {"saves/solution.sav out.gif --frames 10", 0, "frames=12 step=10 bytes=", ""},
        {"--every 10 saves/solution.sav out.gif", 0, "steps=25 parts=1 code=13\nframes=5 step=25 bytes=", ""},
        {"saves/nobody.sav out.gif", 2,
         "error: device not found: pusher_7\nhint: No pusher_7: there is no pusher on the floor.\nframes=2 step=0 ",
         ""},
        {"saves/corrupt.sav out.gif", 1, "", "Error!: Error loading saved game: Invalid device type!\n"},
        {"saves/none.sav out.gif", 66, "", "gearloft-gif: Cannot open save file: saves/none.sav\n"},
        {"saves/solution.sav none/out.gif", 73, "", "gearloft-gif: cannot write none/out.gif: No such file"},
        {"saves/solution.sav", 64, "", "usage: gearloft-gif"},
        {"saves/solution.sav out.gif --every 0", 64, "", "usage: gearloft-gif"},
        {"saves/solution.sav out.gif --frames 20001", 64, "", "usage: gearloft-gif"},
        {"saves/solution.sav out.gif", 66, "", "gearloft-gif: the game's pictures are missing"},
    };
    for (const char* shared : {"img", "dina.fon"})
        fs::create_symlink(fs::current_path() / shared, fs::path(dir.path()) / shared);
    fs::path gif = fs::path(dir.path()) / "out.gif";
    for (const auto& c : cases) {
        if (&c == &cases[std::size(cases) - 1])
            fs::remove(fs::path(dir.path()) / "img");
        fs::remove(gif);
        std::string command = "cd '" + dir.path() + "' && '" GEARLOFT_GIF_PATH "' " + c.args + " >gif.out 2>gif.err";
        int raw = std::system(command.c_str());
        std::string out = dir.read("gif.out"), err = dir.read("gif.err");
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, c.status) << c.args << ": " << err;
        EXPECT_EQ(out.substr(0, c.out.size()), c.out) << c.args;
        EXPECT_NE(err.find(c.err), std::string::npos) << c.args << ": " << err;
        bool filmed = c.status == 0 || c.status == 2;
        EXPECT_EQ(fs::exists(gif), filmed) << c.args;
        std::string size = filmed ? "bytes=" + std::to_string(fs::file_size(gif)) + " " : "";
        EXPECT_NE(out.find(size), std::string::npos) << c.args;
    }
}
