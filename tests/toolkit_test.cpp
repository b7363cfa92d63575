// The drawing toolkit: the font and picture caches, fades, missing pictures,
// magenta keys and quarter turns.
#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include <cstring>

#include "support.h"
#include "toolkit/pictures.h"

namespace {
using Rgb = std::tuple<int, int, int>;

// A 25 x 25 palettised picture, like the game's GIFs as loaded: `fill`
// everywhere, and the palette's other colours in the four corners.
Picture corner_picture(const std::vector<SDL_Color>& palette, Uint8 fill) {
    Picture picture(SDL_CreateRGBSurface(SDL_SWSURFACE, 25, 25, 8, 0, 0, 0, 0));
    SDL_SetColors(picture.get(), const_cast<SDL_Color*>(palette.data()), 0, static_cast<int>(palette.size()));
    SDL_FillRect(picture.get(), nullptr, fill);
    auto* pixels = static_cast<Uint8*>(picture->pixels);
    const int corners[4][2] = {{0, 0}, {24, 0}, {24, 24}, {0, 24}};
    for (int i = 0; i < 4; ++i)
        pixels[corners[i][1] * picture->pitch + corners[i][0]] = static_cast<Uint8>((fill + 1 + i) % palette.size());
    return picture;
}

// A colour as a 16-bit surface shows it.
Rgb drawn(const SDL_Color& c) {
    Picture probe = make_surface(1, 1);
    Uint8 r, g, b;
    SDL_GetRGB(SDL_MapRGB(probe->format, c.r, c.g, c.b), probe->format, &r, &g, &b);
    return {r, g, b};
}

bool untouched(SDL_Surface* surface) {
    Picture blank = make_surface(surface->w, surface->h);
    return std::memcmp(surface->pixels, blank->pixels, surface->h * surface->pitch) == 0;
}
} // namespace

TEST(Fonts, OpenOncePerSizeAndTextIsSkippedWithoutTheFontFile) {
    ASSERT_EQ(TTF_Init(), 0);
    close_fonts();
    int before = font_open_count();
    Picture surface = make_surface(200, 50);
    for (int i = 0; i < 3; ++i)
        draw_text("Hello", 10, 255, 255, 255, 5, 5, surface.get());
    draw_text_int(42, 18, 255, 255, 255, 60, 5, surface.get());
    EXPECT_EQ(font_open_count() - before, 2);
    EXPECT_FALSE(untouched(surface.get()));
    Picture empty = make_surface(200, 50);
    draw_text("", 10, 255, 255, 255, 5, 5, empty.get());
    draw_text_center("", 10, 255, 255, 255, 50, 20, empty.get());
    {
        ScratchDir no_font;
        auto inside = no_font.enter();
        draw_text("Hello", 10, 255, 255, 255, 5, 5, empty.get());
        EXPECT_EQ(font_of_size(10), nullptr);
    }
    EXPECT_TRUE(untouched(empty.get()));
    close_fonts();
    TTF_Quit();
}

TEST(Pictures, LoadedOnceSharedAndMissingOnesDrawNothing) {
    SDL_Surface* red = cached_picture("img/block_red.gif", false);
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(cached_picture("img/block_red.gif", false), red);
    EXPECT_NE(cached_picture("img/block_red.gif", true), red) << "a keyed copy is its own picture";
    EXPECT_EQ(cached_picture("img/no_such_picture.gif", false), nullptr);
    EXPECT_EQ(cached_picture(nullptr, false), nullptr);
    Picture surface = make_surface(50, 50);
    draw_image(nullptr, 0, 0, surface.get());
    draw_image_fade(nullptr, 0, 0, surface.get(), 128);
    draw_image_rotated(nullptr, 90, 0, 0, surface.get());
    EXPECT_TRUE(untouched(surface.get()));
    // A fade of 0 (or of 256, cut to its low byte) leaves the target; the
    // picture is opaque again afterwards; half way blends.
    draw_image_fade(red, 10, 10, surface.get(), 0);
    draw_image_fade(red, 10, 10, surface.get(), 256);
    EXPECT_TRUE(untouched(surface.get()));
    EXPECT_EQ(red->flags & SDL_SRCALPHA, 0u);
    draw_image(red, 0, 0, surface.get());
    Rgb full = pixel_at(surface.get(), 12, 12);
    Picture half = make_surface(50, 50);
    draw_image_fade(red, 0, 0, half.get(), 128);
    EXPECT_GT(std::get<0>(pixel_at(half.get(), 12, 12)), 0);
    EXPECT_LT(std::get<0>(pixel_at(half.get(), 12, 12)), std::get<0>(full));
    release_pictures();
}

// Quarter turns keep every row and column: drawn one pixel up and left, a
// turned 25 x 25 picture lands exactly on its cell, turned counter-clockwise.
// An opaque picture keeps even its first palette colour (SDL_gfx would make
// it see-through); a keyed one keeps its transparency.
TEST(Drawing, QuarterTurnsKeepTheWholePicture) {
    const std::vector<SDL_Color> palette = {{0, 0, 128, 0}, {200, 0, 0, 0}, {0, 200, 0, 0}, {0, 0, 200, 0}, {200, 200, 0, 0}};
    for (Uint8 fill : {0, 4}) {
        Picture picture = corner_picture(palette, fill);
        // Which corner of the source shows at the top-left after each turn.
        for (auto [angle, corner] : {std::pair{0, 0}, {90, 1}, {180, 2}, {270, 3}, {-90, 3}, {-270, 1}}) {
            Picture dst = make_surface(60, 60);
            SDL_FillRect(dst.get(), nullptr, SDL_MapRGB(dst->format, 255, 255, 255));
            int shift = angle == 0 ? 0 : -1;
            draw_image_rotated(picture.get(), angle, 10 + shift, 10 + shift, dst.get());
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 60; ++x) {
                    bool in_cell = x >= 10 && x < 35 && y >= 10 && y < 35;
                    ASSERT_EQ(pixel_at(dst.get(), x, y) != (Rgb{255, 255, 255}), in_cell)
                        << "angle " << angle << " at " << x << "," << y;
                }
            EXPECT_EQ(pixel_at(dst.get(), 10, 10), drawn(palette[(fill + 1 + corner) % palette.size()])) << angle;
            EXPECT_EQ(pixel_at(dst.get(), 22, 22), drawn(palette[fill])) << "angle " << angle;
        }
    }
    // Magenta is keyed only where the palette has it: light grey is the
    // nearest colour in a palette without it, and stays.
    Picture keyed = corner_picture({{255, 0, 255, 0}, {200, 0, 0, 0}, {0, 200, 0, 0}}, 0);
    Picture grey = corner_picture({{250, 250, 250, 0}, {200, 0, 0, 0}}, 0);
    set_magenta_key(keyed.get());
    set_magenta_key(grey.get());
    Picture dst = make_surface(60, 30);
    draw_image_rotated(keyed.get(), 270, -1, -1, dst.get());
    draw_image(grey.get(), 30, 0, dst.get());
    EXPECT_EQ(pixel_at(dst.get(), 12, 12), (Rgb{0, 0, 0})) << "magenta stays transparent";
    EXPECT_EQ(pixel_at(dst.get(), 24, 0), drawn({200, 0, 0, 0})) << "the top-left corner, turned to the top right";
    EXPECT_NE(pixel_at(dst.get(), 42, 12), (Rgb{0, 0, 0})) << "grey is no magenta";
}
