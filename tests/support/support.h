// What the tests share: levels from texts, a stand-in device, scratch
// folders, a dummy window with queued events, golden pictures.
#ifndef GEARLOFT_TESTS_SUPPORT_SUPPORT_H
#define GEARLOFT_TESTS_SUPPORT_SUPPORT_H

#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "devices/device.h"
#include "files/level_file.h"
#include "screens/game_info.h"
#include "toolkit/toolkit.h"

class ScriptingEngine;

template <class T, class... Args> T* place(Level& level, Args&&... args) {
    level.devices.push_back(std::make_unique<T>(std::forward<Args>(args)...));
    return static_cast<T*>(level.devices.back().get());
}
void run_ticks(Level& level, int n);
// The verbs and the numbers of the actions an engine holds queued, in order.
std::vector<std::string> queued_verbs(const ScriptingEngine& engine);
std::vector<int> queued_args(const ScriptingEngine& engine);
// The block types of row y from x0 to x1, 'x' where empty.
std::string row(const Level& level, int y, int x0, int x1);

// Level files by name, as a save finds them; a level from the text of level
// file "test.lvl"; a save from its text.
using LevelTexts = std::map<std::string, std::string>;
LevelOpener opener_of(const LevelTexts& levels);
LoadResult level_from_text(const std::string& text);
LoadResult save_from_text(const std::string& text, const LevelTexts& levels);

// A stand-in machine, solid on `solid`: it runs `on_tick`, counts resets,
// records the actions it receives and offers `stub` as its Lua table.
class StubDevice : public Device {
public:
    std::set<std::pair<int, int>> solid;
    std::function<void(Level*)> on_tick;
    int resets = 0;
    std::vector<std::pair<std::string, int>> received;
    std::string stub;

    explicit StubDevice(const std::string& device_name = "");
    void draw_at(Canvas&, int, int, Phase) const override {}
    void tick(Level* level) override;
    void code_action(const char* verb, int arg, Level*) override { received.emplace_back(verb, arg); }
    bool floor_collide(int cx, int cy) const override { return solid.count({cx, cy}) > 0; }
    std::vector<FloorCell> footprint() const override;
    std::unique_ptr<Device> copy() const override { return std::make_unique<StubDevice>(); }
    std::string get_code_stub(const Level&) const override { return stub; }
    void reset() override { ++resets; }
    std::vector<int> record_fields() const override { return {}; }
};

// How long a hostile file or program may take to end: about a second; the
// sanitizer build runs the game's own C++ several times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr double QUICK_SECONDS = 4.0;
#else
constexpr double QUICK_SECONDS = 1.5;
#endif

// A folder under /tmp, removed with its contents. Entering it makes it the
// working folder; the picture and font caches, which remember files by
// path, are emptied on the way in and out.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& path() const { return path_; }
    // Writes the file (folders made as needed) and gives its whole path.
    std::string write(const std::string& file, const std::string& bytes) const;
    std::string read(const std::string& file) const;

    class Inside {
    public:
        explicit Inside(const std::string& dir);
        ~Inside();

    private:
        std::string previous_;
    };
    Inside enter() const { return Inside(path_); }

private:
    std::string path_;
};

// A dummy 800 x 600 window for each test, with typed characters translated
// and fonts ready.
class WindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    GameInfo info_;
};

// Events: queued keys and clicks are pressed and let go, text key by key.
SDL_Event key_event(SDLKey key, Uint16 unicode = 0, Uint8 type = SDL_KEYDOWN);
SDL_Event mouse_event(Uint8 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT);
void push_event(SDL_Event event);
void push_key(SDLKey key, Uint16 unicode = 0);
void push_click(int x, int y, Uint8 button = SDL_BUTTON_LEFT);
void push_text(const std::string& text);
int pending_events();

// A black 16-bit (RGB565) surface like the game window.
Picture make_surface(int w, int h);
// The surface equals tests/data/golden/NAME.png pixel for pixel. With
// GEARLOFT_GOLDEN_OUT set to a folder, writes NAME.bmp there instead, for
// tools/golden/refresh.sh.
testing::AssertionResult matches_golden(SDL_Surface* surface, const std::string& name);

#endif
