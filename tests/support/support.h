// What the tests share: levels read from texts, scratch folders, a dummy
// window with queued events, and 16-bit surfaces compared with golden
// pictures.
#ifndef GEARLOFT_TESTS_SUPPORT_SUPPORT_H
#define GEARLOFT_TESTS_SUPPORT_SUPPORT_H

#include <SDL.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include <functional>
#include <set>
#include <vector>

#include "core/game_info.h"
#include "devices/device.h"
#include "files/level_file.h"
#include "toolkit/toolkit.h"

// ---- levels

// Constructs a device, appends it to the level's list and returns it; named
// with `number` when given.
template <class T, class... Args> T* place(Level& level, Args&&... args) {
    auto device = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = device.get();
    level.devices.push_back(std::move(device));
    return raw;
}
void run_ticks(Level& level, int n);

// A stand-in machine: solid on `solid`, covering `covered` too; it runs
// `on_tick`, counts its resets, records the actions it receives and offers
// `stub` as its Lua table.
class StubDevice : public Device {
public:
    std::set<std::pair<int, int>> solid;
    std::set<std::pair<int, int>> covered;
    std::function<void(Level*)> on_tick;
    int resets = 0;
    std::vector<std::pair<std::string, int>> received;
    std::string stub;

    explicit StubDevice(const std::string& device_name = "");
    void draw_at(SDL_Surface*, int, int, bool) override {}
    void tick(Level* level) override;
    void code_action(const char* verb, int arg, Level*) override { received.emplace_back(verb, arg); }
    bool block_collide(int cx, int cy) override { return solid.count({cx, cy}) > 0; }
    bool floor_collide(int cx, int cy) override { return covered.count({cx, cy}) + solid.count({cx, cy}) > 0; }
    std::unique_ptr<Device> copy() override { return std::make_unique<StubDevice>(); }
    std::string get_code_stub(Level*) override { return stub; }
    void reset() override { ++resets; }
    std::vector<int> record_fields() const override { return {}; }
};

// Level files by name, as a save or a level list would find them.
using LevelTexts = std::map<std::string, std::string>;
LevelOpener opener_of(const LevelTexts& levels);
// A level from the text of level file "test.lvl".
LoadResult level_from_text(const std::string& text);
// A level from the text of a save and the level files it may name.
LoadResult save_from_text(const std::string& text, const LevelTexts& levels);

// ---- scratch folders

// A fresh folder under /tmp, removed with everything in it when the object
// goes. Entering it makes it the working folder; the picture and font caches
// are emptied on the way in and out, since they remember files by path.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    // Writes a file (path relative to the folder) with exactly these bytes,
    // making its folders.
    void write(const std::string& file, const std::string& bytes) const;
    // The bytes of a file, or an empty text when it cannot be read.
    std::string read(const std::string& file) const;

    class Inside {
    public:
        explicit Inside(const std::string& dir);
        ~Inside();
        Inside(const Inside&) = delete;
        Inside& operator=(const Inside&) = delete;

    private:
        std::string previous_;
    };
    Inside enter() const { return Inside(path_); }

private:
    std::string path_;
};

// ---- window and events

// A dummy 800 x 600 window for each test, with typed characters translated.
class WindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    GameInfo info_;
};

SDL_Event key_event(SDLKey key, Uint16 unicode = 0, Uint8 type = SDL_KEYDOWN);
SDL_Event mouse_event(Uint8 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT);
void push_event(SDL_Event event);
// A key pressed and let go; a click pressed and let go; text typed key by key.
void push_key(SDLKey key, Uint16 unicode = 0);
void push_click(int x, int y, Uint8 button = SDL_BUTTON_LEFT);
void push_text(const std::string& text);
void push_quit();
// Events still queued.
int pending_events();

// ---- surfaces and golden pictures

// A 16-bit (RGB565) surface like the game window, filled black.
Picture make_surface(int w, int h);
// The colour of one pixel as (r, g, b).
std::tuple<int, int, int> pixel_at(SDL_Surface* surface, int x, int y);

// The surface equals the picture tests/data/golden/NAME.png pixel for pixel.
// With GEARLOFT_GOLDEN_OUT set to a folder, writes NAME.bmp there instead,
// for tools/golden/refresh.sh to turn into the new golden picture.
testing::AssertionResult matches_golden(SDL_Surface* surface, const std::string& name);

#endif
