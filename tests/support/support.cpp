#include "support.h"

#include <SDL_image.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/save_file.h"
#include "scripting/scripting_engine.h"
#include "toolkit/pictures.h"

namespace fs = std::filesystem;

void run_ticks(Level& level, int n) {
    for (int i = 0; i < n; ++i)
        level.tick();
}

std::vector<std::string> queued_verbs(const ScriptingEngine& engine) {
    std::vector<std::string> verbs;
    for (const Action& action : engine.queued_actions())
        verbs.push_back(action.verb);
    return verbs;
}

std::vector<int> queued_args(const ScriptingEngine& engine) {
    std::vector<int> args;
    for (const Action& action : engine.queued_actions())
        args.push_back(action.arg);
    return args;
}

std::string row(const Level& level, int y, int x0, int x1) {
    std::string text;
    for (int x = x0; x <= x1; ++x)
        text += static_cast<char>(level.block_at(x, y));
    return text;
}

LevelOpener opener_of(const LevelTexts& levels) {
    return [levels](const std::string& name) {
        auto found = levels.find(name);
        return found == levels.end() ? BetterReader("") : BetterReader::of_text(found->second);
    };
}

LoadResult level_from_text(const std::string& text) {
    return read_level_file("test.lvl", opener_of({{"test.lvl", text}}));
}

LoadResult save_from_text(const std::string& text, const LevelTexts& levels) {
    BetterReader save = BetterReader::of_text(text);
    return read_save_file(save, opener_of(levels));
}

StubDevice::StubDevice(const std::string& device_name) : Device(0, 0, Mobility::movable) {
    std::snprintf(name, sizeof name, "%s", device_name.c_str());
}

std::vector<FloorCell> StubDevice::footprint() const {
    std::vector<FloorCell> cells;
    for (auto [cx, cy] : solid)
        cells.push_back({cx - x, cy - y});
    return cells;
}

void StubDevice::tick(Level* level) {
    if (on_tick)
        on_tick(level);
}

ScratchDir::ScratchDir() {
    char pattern[] = "/tmp/gearloft-test-XXXXXX";
    EXPECT_NE(mkdtemp(pattern), nullptr);
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ScratchDir::write(const std::string& file, const std::string& bytes) const {
    fs::path target = fs::path(path_) / file;
    fs::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << bytes;
    return target.string();
}

std::string ScratchDir::read(const std::string& file) const {
    std::ostringstream bytes;
    bytes << std::ifstream(fs::path(path_) / file, std::ios::binary).rdbuf();
    return bytes.str();
}

ScratchDir::Inside::Inside(const std::string& dir) : previous_(fs::current_path().string()) {
    release_pictures();
    close_fonts();
    fs::current_path(dir);
}

ScratchDir::Inside::~Inside() {
    release_pictures();
    close_fonts();
    fs::current_path(previous_);
}

void WindowTest::SetUp() {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_EnableUNICODE(1);
    TTF_Init();
    info_.screen = SDL_SetVideoMode(800, 600, 16, 0);
    ASSERT_NE(info_.screen, nullptr);
}

void WindowTest::TearDown() {
    close_fonts();
    TTF_Quit();
    SDL_Quit();
}

SDL_Event key_event(SDLKey key, Uint16 unicode, Uint8 type) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.unicode = unicode;
    return event;
}

SDL_Event mouse_event(Uint8 type, int x, int y, Uint8 button) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = event.button.type = type;
    event.button.button = button;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.x = static_cast<Uint16>(x);
    event.button.y = static_cast<Uint16>(y);
    return event;
}

void push_event(SDL_Event event) { SDL_PushEvent(&event); }

void push_key(SDLKey key, Uint16 unicode) {
    push_event(key_event(key, unicode));
    push_event(key_event(key, 0, SDL_KEYUP));
}

void push_click(int x, int y, Uint8 button) {
    push_event(mouse_event(SDL_MOUSEBUTTONDOWN, x, y, button));
    push_event(mouse_event(SDL_MOUSEBUTTONUP, x, y, button));
}

void push_text(const std::string& text) {
    for (char c : text)
        push_key(static_cast<SDLKey>(c), static_cast<Uint16>(static_cast<unsigned char>(c)));
}

int pending_events() {
    SDL_PumpEvents();
    SDL_Event events[64];
    return SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_ALLEVENTS);
}

Picture make_surface(int w, int h) {
    Picture surface(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0));
    SDL_FillRect(surface.get(), nullptr, 0);
    return surface;
}

namespace {
// Golden pictures are compared and written as 24-bit pixels widened by SDL
// (ImageMagick would widen 16-bit colours differently).
Picture as_rgb24(SDL_Surface* surface) {
    Picture rgb(SDL_CreateRGBSurface(SDL_SWSURFACE, surface->w, surface->h, 24, 0xFF0000, 0x00FF00, 0x0000FF, 0));
    SDL_BlitSurface(surface, nullptr, rgb.get(), nullptr);
    return rgb;
}
} // namespace

testing::AssertionResult matches_golden(SDL_Surface* surface, const std::string& name) {
    Picture actual = as_rgb24(surface);
    if (const char* out = std::getenv("GEARLOFT_GOLDEN_OUT")) {
        if (SDL_SaveBMP(actual.get(), (std::string(out) + "/" + name + ".bmp").c_str()) != 0)
            return testing::AssertionFailure() << "cannot write into " << out;
        return testing::AssertionSuccess();
    }
    std::string path = GEARLOFT_TEST_DATA_DIR "/golden/" + name + ".png";
    Picture loaded(IMG_Load(path.c_str()));
    if (!loaded)
        return testing::AssertionFailure() << "no golden picture " << path << " (tools/golden/refresh.sh)";
    Picture golden = as_rgb24(loaded.get());
    if (golden->w != actual->w || golden->h != actual->h)
        return testing::AssertionFailure() << name << ": drawn " << actual->w << " x " << actual->h;
    int differing = 0, first = -1;
    for (int y = 0; y < actual->h; ++y)
        for (int x = 0; x < actual->w; ++x)
            if (std::memcmp(static_cast<Uint8*>(actual->pixels) + y * actual->pitch + 3 * x,
                            static_cast<Uint8*>(golden->pixels) + y * golden->pitch + 3 * x, 3) != 0 &&
                differing++ == 0)
                first = y * actual->w + x;
    std::string kept = (fs::temp_directory_path() / ("gearloft-" + name + ".bmp")).string();
    if (differing == 0 || SDL_SaveBMP(actual.get(), kept.c_str()) != 0)
        return testing::AssertionResult(differing == 0) << name << ": cannot write " << kept;
    return testing::AssertionFailure() << name << ": " << differing << " pixels differ, the first at ("
                                       << first % actual->w << ", " << first / actual->w << "); drawn: " << kept;
}
