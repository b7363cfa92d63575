#include "support.h"

#include <SDL_image.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/save_file.h"
#include "level/level.h"
#include "toolkit/pictures.h"

namespace fs = std::filesystem;

void run_ticks(Level& level, int n) {
    for (int i = 0; i < n; ++i)
        level.tick();
}

StubDevice::StubDevice(const std::string& device_name) : Device(0, 0, false) {
    std::snprintf(name, sizeof name, "%s", device_name.c_str());
}

void StubDevice::tick(Level* level) {
    if (on_tick)
        on_tick(level);
}

LevelOpener opener_of(const LevelTexts& levels) {
    return [levels](const std::string& name) {
        auto found = levels.find(name);
        return found == levels.end() ? BetterReader("") : BetterReader::of_text(found->second);
    };
}

LoadResult level_from_text(const std::string& text) { return read_level_file("test.lvl", opener_of({{"test.lvl", text}})); }

LoadResult save_from_text(const std::string& text, const LevelTexts& levels) {
    BetterReader save = BetterReader::of_text(text);
    return read_save_file(save, opener_of(levels));
}

ScratchDir::ScratchDir() {
    char pattern[] = "/tmp/gearloft-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    EXPECT_NE(made, nullptr);
    path_ = made ? made : "/tmp";
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (path_ != "/tmp")
        fs::remove_all(path_, ignored);
}

void ScratchDir::write(const std::string& file, const std::string& bytes) const {
    fs::path target = fs::path(path_) / file;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << bytes;
    EXPECT_TRUE(out.good()) << "cannot write " << target;
}

std::string ScratchDir::read(const std::string& file) const {
    std::ifstream in(fs::path(path_) / file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
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
    info_.screen = SDL_SetVideoMode(800, 600, 16, 0);
    ASSERT_NE(info_.screen, nullptr);
}

void WindowTest::TearDown() { SDL_Quit(); }

SDL_Event key_event(SDLKey key, Uint16 unicode, Uint8 type) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.unicode = unicode;
    return event;
}

SDL_Event mouse_event(Uint8 type, int x, int y, Uint8 button) {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.button.type = type;
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

void push_quit() {
    SDL_Event event;
    std::memset(&event, 0, sizeof event);
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
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
// Both sides of a comparison as 24-bit pixels, which is also how golden
// pictures are written (ImageMagick would widen 16-bit colours differently
// from SDL).
Picture as_rgb24(SDL_Surface* surface) {
    SDL_PixelFormat format;
    std::memset(&format, 0, sizeof format);
    format.BitsPerPixel = 24;
    format.BytesPerPixel = 3;
    format.Rmask = 0xFF0000;
    format.Gmask = 0x00FF00;
    format.Bmask = 0x0000FF;
    format.Rshift = 16;
    format.Gshift = 8;
    format.alpha = 255;
    return Picture(SDL_ConvertSurface(surface, &format, SDL_SWSURFACE));
}
} // namespace

std::tuple<int, int, int> pixel_at(SDL_Surface* surface, int x, int y) {
    Uint32 value = 0;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
    std::memcpy(&value, p, surface->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return {r, g, b};
}

testing::AssertionResult matches_golden(SDL_Surface* surface, const std::string& name) {
    Picture actual = as_rgb24(surface);
    if (const char* out = std::getenv("GEARLOFT_GOLDEN_OUT")) {
        std::string path = std::string(out) + "/" + name + ".bmp";
        if (SDL_SaveBMP(actual.get(), path.c_str()) != 0)
            return testing::AssertionFailure() << "cannot write " << path;
        return testing::AssertionSuccess();
    }
    std::string golden_path = std::string(GEARLOFT_TEST_DATA_DIR) + "/golden/" + name + ".png";
    Picture loaded(IMG_Load(golden_path.c_str()));
    if (!loaded)
        return testing::AssertionFailure() << "no golden picture " << golden_path << " (tools/golden/refresh.sh)";
    Picture golden = as_rgb24(loaded.get());
    if (golden->w != actual->w || golden->h != actual->h)
        return testing::AssertionFailure() << name << ": " << actual->w << " x " << actual->h << " drawn, golden is "
                                           << golden->w << " x " << golden->h;
    int differing = 0, first_x = -1, first_y = -1;
    for (int y = 0; y < actual->h; ++y) {
        const Uint8* a = static_cast<const Uint8*>(actual->pixels) + y * actual->pitch;
        const Uint8* g = static_cast<const Uint8*>(golden->pixels) + y * golden->pitch;
        for (int x = 0; x < actual->w; ++x) {
            if (std::memcmp(a + 3 * x, g + 3 * x, 3) == 0)
                continue;
            if (differing++ == 0)
                first_x = x, first_y = y;
        }
    }
    if (differing == 0)
        return testing::AssertionSuccess();
    std::string kept = (fs::temp_directory_path() / ("gearloft-" + name + ".bmp")).string();
    SDL_SaveBMP(actual.get(), kept.c_str());
    return testing::AssertionFailure() << name << ": " << differing << " pixels differ from the golden picture, the first at ("
                                       << first_x << ", " << first_y << "); drawn picture kept in " << kept;
}
