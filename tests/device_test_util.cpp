#include "device_test_util.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

SurfacePtr make_surface(int w, int h) {
    SurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0));
    SDL_FillRect(surface.get(), nullptr, 0);
    return surface;
}

namespace {
Rgb pixel_at(SDL_Surface* surface, int x, int y) {
    auto* row = static_cast<Uint8*>(surface->pixels) + y * surface->pitch;
    Uint16 value = reinterpret_cast<Uint16*>(row)[x];
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return {r, g, b};
}
} // namespace

testing::AssertionResult pixel_is(SDL_Surface* surface, int x, int y, Rgb expected, int tolerance) {
    Rgb got = pixel_at(surface, x, y);
    if (std::abs(got.r - expected.r) <= tolerance && std::abs(got.g - expected.g) <= tolerance &&
        std::abs(got.b - expected.b) <= tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << got.r << ", " << got.g << ", "
                                       << got.b << "), expected (" << expected.r << ", " << expected.g << ", "
                                       << expected.b << ")";
}

ArtDir::ArtDir() {
    char pattern[] = "/tmp/gearloft-art-XXXXXX";
    const char* made = mkdtemp(pattern);
    EXPECT_NE(made, nullptr);
    dir_ = made ? made : "/tmp";
    std::filesystem::create_directories(dir_ + "/img");
}

ArtDir::~ArtDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void ArtDir::picture(const std::string& file, Rgb fill, const std::vector<Patch>& patches) {
    SurfacePtr surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 25, 25, 8, 0, 0, 0, 0));
    std::vector<SDL_Color> palette;
    auto add_colour = [&](Rgb c) {
        SDL_Color colour;
        colour.r = static_cast<Uint8>(c.r);
        colour.g = static_cast<Uint8>(c.g);
        colour.b = static_cast<Uint8>(c.b);
        colour.unused = 0;
        palette.push_back(colour);
    };
    add_colour(fill);
    for (const Patch& patch : patches)
        add_colour(patch.colour);
    SDL_SetColors(surface.get(), palette.data(), 0, static_cast<int>(palette.size()));
    SDL_FillRect(surface.get(), nullptr, 0);
    for (size_t i = 0; i < patches.size(); ++i) {
        SDL_Rect area = make_rect(patches[i].x, patches[i].y, patches[i].w, patches[i].h);
        SDL_FillRect(surface.get(), &area, static_cast<Uint32>(i + 1));
    }
    ASSERT_EQ(SDL_SaveBMP(surface.get(), (dir_ + "/img/" + file).c_str()), 0);
}

SurfacePtr ArtDir::load(const std::string& file, bool keyed) const {
    auto inside = enter();
    return SurfacePtr(load_picture(("img/" + file).c_str(), keyed));
}

ArtDir::Inside::Inside(const std::string& dir) {
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(dir);
}

ArtDir::Inside::~Inside() { std::filesystem::current_path(previous_); }
