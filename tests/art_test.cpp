// The generated pictures and font: every picture is palettised with magenta
// as its first colour, and magenta shows only in the pictures the game keys.
#include <gtest/gtest.h>

#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstring>
#include <filesystem>
#include <set>

#include "support.h"

// Unkeyed pictures never use their first colour, because SDL_gfx makes it
// see-through in every turned copy.
TEST(Art, MagentaMarksExactlyTheSeeThroughParts) {
    const std::set<std::string> keyed = {
        "pusher_rod.gif",  "grabber_top.gif",  "grabber_mid.gif",  "grabber_bot.gif",  "grabber_claw.gif",
        "grabber_claw_x.gif", "converter.gif", "indicator.gif",    "arrow_left.gif",   "arrow_right.gif",
        "arrow_up.gif",    "arrow_down.gif",   "button_one.gif",   "button_two.gif",   "button_four.gif",
        "button_eight.gif", "button_onex.gif", "button_twox.gif"};
    int pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator("img")) {
        if (entry.path().extension() != ".gif")
            continue;
        std::string name = entry.path().filename().string();
        Picture s(IMG_Load(entry.path().c_str()));
        ASSERT_NE(s, nullptr) << name;
        ASSERT_EQ(s->format->BitsPerPixel, 8) << name;
        const SDL_Color& first = s->format->palette->colors[0];
        EXPECT_TRUE(first.r == 255 && first.g == 0 && first.b == 255) << name;
        bool uses_first = false;
        for (int y = 0; y < s->h && !uses_first; ++y)
            uses_first = std::memchr(static_cast<Uint8*>(s->pixels) + y * s->pitch, 0, s->w) != nullptr;
        EXPECT_EQ(uses_first, keyed.count(name) > 0) << name;
        ++pictures;
    }
    EXPECT_EQ(pictures, 66);
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
