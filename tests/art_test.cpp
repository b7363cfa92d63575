// The generated pictures and fonts: every file the game opens exists, has the
// size the game draws it at, and keeps magenta where the game expects a
// see-through colour.
#include <gtest/gtest.h>

#include <SDL_image.h>
#include <SDL_ttf.h>
#include <guichan.hpp>
#include <guichan/sdl.hpp>

#include <memory>
#include <string>

#include "toolkit/toolkit.h"

namespace {
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

struct Expected {
    const char* file;
    int w, h;
    bool keyed;
};

const Expected PICTURES[] = {
    {"block_red.gif", 25, 25, false},
    {"block_green.gif", 25, 25, false},
    {"block_blue.gif", 25, 25, false},
    {"block_bulb.gif", 25, 25, false},
    {"block_dew_empty.gif", 25, 25, false},
    {"block_dew_full.gif", 25, 25, false},
    {"block_ipod.gif", 25, 25, false},
    {"block_metal.gif", 25, 25, false},
    {"block_speaker.gif", 25, 25, false},
    {"block_white.gif", 25, 25, false},
    {"block_wii.gif", 25, 25, false},
    {"block_tan.gif", 25, 25, false},
    {"block_black.gif", 25, 25, false},
    {"block_tire.gif", 25, 25, false},
    {"block_gatorade.gif", 25, 25, false},
    {"block_yellow.gif", 25, 25, false},
    {"block_xbox.gif", 25, 25, false},
    {"block_xbox_controller.gif", 25, 25, false},
    {"block_death_star.gif", 25, 25, false},
    {"spawner.gif", 25, 25, true},
    {"catcher_slot.gif", 25, 25, false},
    {"conveyer_8.gif", 25, 25, false},
    {"conveyer_7.gif", 25, 25, false},
    {"conveyer_5.gif", 25, 25, false},
    {"conveyer_4.gif", 25, 25, false},
    {"conveyer_2.gif", 25, 25, false},
    {"pusher.gif", 25, 25, false},
    {"pusher_rod.gif", 25, 25, true},
    {"grabber_top.gif", 25, 25, true},
    {"grabber_mid.gif", 25, 25, true},
    {"grabber_bot.gif", 25, 25, true},
    {"grabber_claw.gif", 25, 25, true},
    {"grabber_claw_x.gif", 25, 25, true},
    {"sprayer.gif", 25, 25, false},
    {"sprayer_blue.gif", 25, 25, false},
    {"converter.gif", 100, 100, true},
    {"sensor.gif", 25, 25, false},
    {"sensor_red.gif", 25, 25, false},
    {"indicator.gif", 25, 25, true},
    {"background_construction.gif", 800, 600, false},
    {"background_editing.gif", 800, 600, false},
    {"background_simulation.gif", 800, 600, false},
    {"background_selection.gif", 800, 600, false},
    {"parts_conveyers.gif", 150, 550, false},
    {"parts_sensorsprayer.gif", 150, 550, false},
    {"parts_pusherindicator.gif", 150, 550, false},
    {"button_off_red.gif", 30, 29, false},
    {"button_on_red.gif", 30, 29, false},
    {"button_off_green.gif", 30, 29, false},
    {"button_on_green.gif", 30, 29, false},
    {"button_off_blue.gif", 30, 29, false},
    {"button_on_blue.gif", 30, 29, false},
    {"button_off_orange.gif", 30, 29, false},
    {"button_on_orange.gif", 30, 29, false},
    {"button_drag.gif", 73, 40, false},
    {"arrow_left.gif", 14, 13, true},
    {"arrow_right.gif", 14, 13, true},
    {"arrow_up.gif", 14, 13, true},
    {"arrow_down.gif", 14, 13, true},
    {"button_one.gif", 14, 13, true},
    {"button_two.gif", 14, 13, true},
    {"button_four.gif", 14, 13, true},
    {"button_eight.gif", 14, 13, true},
    {"button_onex.gif", 14, 13, true},
    {"button_twox.gif", 14, 13, true},
    {"error.gif", 700, 120, false},
    {"quit.gif", 700, 120, false},
    {"win.gif", 700, 120, false},
};

Surface load(const char* file) { return Surface(IMG_Load((std::string("img/") + file).c_str())); }

SDL_Color colour_at(SDL_Surface* s, int x, int y) {
    Uint8 index = static_cast<Uint8*>(s->pixels)[y * s->pitch + x];
    return s->format->palette->colors[index];
}

bool magenta(SDL_Color c) { return c.r == 255 && c.g == 0 && c.b == 255; }

int count_magenta(SDL_Surface* s) {
    int n = 0;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            n += magenta(colour_at(s, x, y));
    return n;
}

int luminance(SDL_Color c) { return (299 * c.r + 587 * c.g + 114 * c.b) / 1000; }
} // namespace

TEST(Art, EveryPictureHasItsSizeAndStaysPalettised) {
    for (const Expected& e : PICTURES) {
        Surface s = load(e.file);
        ASSERT_NE(s, nullptr) << e.file;
        EXPECT_EQ(s->w, e.w) << e.file;
        EXPECT_EQ(s->h, e.h) << e.file;
        EXPECT_EQ(s->format->BitsPerPixel, 8) << e.file;
    }
}

// Palette entry 0 is magenta everywhere. Keyed pictures use it for their
// see-through parts and find it with SDL_MapRGB; other pictures never use it,
// because SDL_gfx makes entry 0 see-through in every turned copy.
TEST(Art, MagentaMarksExactlyTheSeeThroughParts) {
    for (const Expected& e : PICTURES) {
        Surface s = load(e.file);
        ASSERT_NE(s, nullptr) << e.file;
        EXPECT_TRUE(magenta(s->format->palette->colors[0])) << e.file;
        if (e.keyed) {
            EXPECT_EQ(SDL_MapRGB(s->format, 255, 0, 255), 0u) << e.file;
            EXPECT_GT(count_magenta(s.get()), 0) << e.file;
        } else {
            EXPECT_EQ(count_magenta(s.get()), 0) << e.file;
        }
    }
}

TEST(Art, SeeThroughWhereTheFloorMustShow) {
    // The lamp's colour shows through the middle of its frame.
    Surface lamp = load("indicator.gif");
    EXPECT_TRUE(magenta(colour_at(lamp.get(), 12, 12)));
    EXPECT_FALSE(magenta(colour_at(lamp.get(), 1, 1)));
    // The converter's lane (third row) and the two bottom corners are open;
    // its slots for the block types are solid.
    Surface converter = load("converter.gif");
    for (int x : {2, 37, 62, 97})
        EXPECT_TRUE(magenta(colour_at(converter.get(), x, 62))) << x;
    EXPECT_TRUE(magenta(colour_at(converter.get(), 10, 90)));
    EXPECT_TRUE(magenta(colour_at(converter.get(), 90, 90)));
    EXPECT_FALSE(magenta(colour_at(converter.get(), 40, 90)));
    EXPECT_FALSE(magenta(colour_at(converter.get(), 22, 22)));
    EXPECT_FALSE(magenta(colour_at(converter.get(), 77, 22)));
    // The claw leaves the block it holds visible.
    for (const char* claw : {"grabber_claw.gif", "grabber_claw_x.gif"}) {
        Surface s = load(claw);
        EXPECT_TRUE(magenta(colour_at(s.get(), 10, 12))) << claw;
    }
}

// A belt turned for any direction covers its cell completely when drawn one
// pixel up and left, as the belts draw themselves.
TEST(Art, TurnedBeltFramesCoverTheirCell) {
    Surface frame = load("conveyer_5.gif");
    ASSERT_NE(frame, nullptr);
    for (int angle : {90, 180, 270}) {
        Surface dst(SDL_CreateRGBSurface(SDL_SWSURFACE, 45, 45, 16, 0xF800, 0x07E0, 0x001F, 0));
        SDL_FillRect(dst.get(), nullptr, SDL_MapRGB(dst->format, 255, 0, 255));
        Uint16 sentinel = *static_cast<Uint16*>(dst->pixels);
        draw_image_rotated(frame.get(), angle, 9, 9, dst.get());
        for (int y = 0; y < 45; ++y)
            for (int x = 0; x < 45; ++x) {
                Uint16 p = *reinterpret_cast<Uint16*>(static_cast<Uint8*>(dst->pixels) + y * dst->pitch + x * 2);
                bool in_cell = x >= 10 && x < 35 && y >= 10 && y < 35;
                ASSERT_EQ(p != sentinel, in_cell) << "angle " << angle << " at " << x << "," << y;
            }
    }
}

TEST(Art, TheFloorOfTheLevelBackgroundsIsBare) {
    for (const char* file : {"background_construction.gif", "background_simulation.gif"}) {
        Surface s = load(file);
        ASSERT_NE(s, nullptr);
        SDL_Color first = colour_at(s.get(), 12, 12);
        for (int cx = 0; cx < 26; ++cx)
            for (int cy = 0; cy < 22; ++cy) {
                SDL_Color c = colour_at(s.get(), 25 * cx + 12, 25 * cy + 12);
                ASSERT_TRUE(c.r == first.r && c.g == first.g && c.b == first.b) << file << " cell " << cx << "," << cy;
            }
    }
}

// Black text must read on the level list and on the error card's message line.
TEST(Art, DarkTextAreasAreLight) {
    Surface list = load("background_selection.gif");
    for (int y = 100; y < 600; y += 7)
        for (int x = 25; x < 640; x += 11)
            ASSERT_GT(luminance(colour_at(list.get(), x, y)), 160) << x << "," << y;
    Surface card = load("error.gif");
    for (int x = 20; x < 680; x += 5)
        for (int y = 44; y <= 56; ++y)
            ASSERT_GT(luminance(colour_at(card.get(), x, y)), 160) << x << "," << y;
}

TEST(Art, GameFontOpensAsDejaVuSansMono) {
    ASSERT_EQ(TTF_Init(), 0);
    TTF_Font* font = TTF_OpenFont("dina.fon", 10);
    ASSERT_NE(font, nullptr);
    int w = 0, h = 0;
    TTF_SizeText(font, "Hello", &w, &h);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 13);
    TTF_CloseFont(font);
    TTF_Quit();
}

TEST(Art, EditorFontHasTheNinetyFiveGlyphsAtOneWidth) {
    std::string glyphs = " abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int code : {46, 44, 33, 63, 45, 43, 47, 40, 41, 58, 59, 37, 38, 96, 39, 42, 35, 61, 91, 93, 34, 60, 62, 123,
                     125, 94, 126, 124, 95, 64, 36, 92})
        glyphs += static_cast<char>(code);
    ASSERT_EQ(glyphs.size(), 95u);
    // The GUI library converts the picture to the window's format.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    ASSERT_NE(SDL_SetVideoMode(800, 600, 16, 0), nullptr);
    gcn::SDLImageLoader loader;
    gcn::Image::setImageLoader(&loader);
    try {
        gcn::ImageFont font("img/dina.bmp", glyphs);
        EXPECT_GE(font.getHeight(), 10);
        int width = font.getWidth("M");
        EXPECT_GE(width, 6);
        for (char c : glyphs)
            EXPECT_EQ(font.getWidth(std::string(1, c)), width) << "glyph '" << c << "'";
        EXPECT_EQ(font.getWidth("pusher_0.on(true)"), 17 * width);
    } catch (const gcn::Exception& e) {
        ADD_FAILURE() << e.getMessage();
    }
    gcn::Image::setImageLoader(nullptr);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
