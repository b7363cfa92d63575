// Helpers for device tests: placing devices on a level, drawing onto a
// 16-bit surface and reading its pixels back, and a scratch working folder
// with an img/ of simple pictures whose colours the tests know.
#ifndef GEARLOFT_TESTS_DEVICE_TEST_UTIL_H
#define GEARLOFT_TESTS_DEVICE_TEST_UTIL_H

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "level/level.h"
#include "toolkit/toolkit.h"

using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Constructs a device, appends it to the level's list and returns it.
template <class T, class... Args> T* place(Level& level, Args&&... args) {
    auto device = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = device.get();
    level.devices.push_back(std::move(device));
    return raw;
}

// Runs n simulation steps.
inline void run_ticks(Level& level, int n) {
    for (int i = 0; i < n; ++i)
        level.tick();
}

struct Rgb {
    int r;
    int g;
    int b;
};

constexpr Rgb BLACK{0, 0, 0};
constexpr Rgb MAGENTA{255, 0, 255};

// A 16-bit (RGB565) surface like the game window, filled black.
SurfacePtr make_surface(int w, int h);
// Every channel within `tolerance` of the expected colour (565 loses low bits).
testing::AssertionResult pixel_is(SDL_Surface* surface, int x, int y, Rgb expected, int tolerance = 8);

// A rectangle of one colour inside a picture.
struct Patch {
    int x, y, w, h;
    Rgb colour;
};

// A scratch working folder with an empty img/. Pictures written into it are
// 25 x 25 palettised bitmaps (like the game's GIFs, they load 8-bit, so
// turning them keeps their magenta key). Devices must be constructed while
// `Inside` is alive so they load their pictures from here.
class ArtDir {
public:
    ArtDir();
    ~ArtDir();
    ArtDir(const ArtDir&) = delete;
    ArtDir& operator=(const ArtDir&) = delete;

    void picture(const std::string& file, Rgb fill, const std::vector<Patch>& patches = {});

    class Inside {
    public:
        explicit Inside(const std::string& dir);
        ~Inside();
        Inside(const Inside&) = delete;
        Inside& operator=(const Inside&) = delete;

    private:
        std::string previous_;
    };
    Inside enter() const { return Inside(dir_); }

    // Constructs a device inside the folder, so it loads its pictures here.
    template <class T, class... Args> std::unique_ptr<T> make(Args&&... args) const {
        auto inside = enter();
        return std::make_unique<T>(std::forward<Args>(args)...);
    }
    // Loads one of the folder's pictures as the game would.
    SurfacePtr load(const std::string& file, bool keyed) const;

private:
    std::string dir_;
};

#endif
