// The drawing toolkit: font cache, text placement, fades, missing pictures
// and quarter turns.
#include <gtest/gtest.h>

#include <SDL_image.h>
#include <SDL_ttf.h>
#include <unistd.h>

#include <climits>
#include <memory>
#include <string>

#include "toolkit/toolkit.h"

namespace {
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

Surface screen_like(int w = 800, int h = 600) {
    return Surface(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0));
}

Uint16 pixel(SDL_Surface* s, int x, int y) {
    return *reinterpret_cast<Uint16*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 2);
}

void fill(SDL_Surface* s, Uint8 r, Uint8 g, Uint8 b) { SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, r, g, b)); }

// Bounding box of every pixel that differs from the fill colour.
struct Box {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};
Box ink_box(SDL_Surface* s, Uint16 background) {
    Box box;
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x)
            if (pixel(s, x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

bool same_pixels(SDL_Surface* a, SDL_Surface* b) {
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            if (pixel(a, x, y) != pixel(b, x, y))
                return false;
    return true;
}

class Toolkit : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TTF_Init(), 0);
        close_fonts();
    }
    void TearDown() override {
        close_fonts();
        TTF_Quit();
    }
};
} // namespace

TEST_F(Toolkit, OpensTheFontOncePerSize) {
    Surface dst = screen_like();
    int before = font_open_count();
    draw_text("Hello", 10, 0, 0, 0, 10, 10, dst.get());
    draw_text("Hello", 10, 0, 0, 0, 10, 40, dst.get());
    draw_text_int(42, 10, 0, 0, 0, 10, 70, dst.get());
    EXPECT_EQ(font_open_count(), before + 1);
    draw_text("Hello", 18, 0, 0, 0, 10, 100, dst.get());
    EXPECT_EQ(font_open_count(), before + 2);
    ASSERT_EQ(fonts.count(10), 1u);
    EXPECT_NE(fonts[10], nullptr);
}

TEST_F(Toolkit, TextIsSkippedWhenTheFontFileIsMissing) {
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir("/"), 0);
    Surface dst = screen_like(200, 100);
    fill(dst.get(), 9, 9, 9);
    Uint16 background = pixel(dst.get(), 0, 0);
    draw_text("Hello", 10, 255, 255, 255, 10, 10, dst.get());
    draw_text_center("Hello", 10, 255, 255, 255, 100, 50, dst.get());
    draw_text_int(-5, 10, 255, 255, 255, 10, 60, dst.get());
    ASSERT_EQ(chdir(here), 0);
    EXPECT_TRUE(ink_box(dst.get(), background).empty());
}

TEST_F(Toolkit, CentredTextHasItsMiddleAtThePoint) {
    TTF_Font* font = font_of_size(10);
    ASSERT_NE(font, nullptr);
    // An odd height, so dropping the half pixel matters.
    const char* text = "Gearloft";
    Surface plain = screen_like(), centred = screen_like();
    fill(plain.get(), 255, 255, 255);
    fill(centred.get(), 255, 255, 255);
    Uint16 white = pixel(plain.get(), 0, 0);
    draw_text(text, 10, 0, 0, 0, 0, 0, plain.get());
    draw_text_center(text, 10, 0, 0, 0, 400, 400, centred.get());
    SDL_Surface* rendered = TTF_RenderText_Solid(font, text, SDL_Color{0, 0, 0, 0});
    ASSERT_NE(rendered, nullptr);
    int w = rendered->w, h = rendered->h;
    SDL_FreeSurface(rendered);
    ASSERT_EQ(h % 2, 1);
    Box a = ink_box(plain.get(), white), b = ink_box(centred.get(), white);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(b.left - a.left, 400 - w / 2);
    EXPECT_EQ(b.top - a.top, 400 - h / 2);
    EXPECT_EQ(b.right - b.left, a.right - a.left);
}

TEST_F(Toolkit, IntegersAreDrawnAsTheirDecimalText) {
    Surface as_int = screen_like(100, 40), as_text = screen_like(100, 40), positive = screen_like(100, 40);
    for (SDL_Surface* s : {as_int.get(), as_text.get(), positive.get()})
        fill(s, 255, 255, 255);
    draw_text_int(-5, 10, 0, 0, 0, 5, 5, as_int.get());
    draw_text("-5", 10, 0, 0, 0, 5, 5, as_text.get());
    draw_text_int(5, 10, 0, 0, 0, 5, 5, positive.get());
    EXPECT_FALSE(ink_box(as_int.get(), pixel(as_int.get(), 0, 0)).empty());
    EXPECT_TRUE(same_pixels(as_int.get(), as_text.get()));
    EXPECT_FALSE(same_pixels(as_int.get(), positive.get()));

    Surface centred_int = screen_like(100, 40), centred_text = screen_like(100, 40);
    draw_text_int_center(-2147483647 - 1, 10, 0, 0, 0, 50, 20, centred_int.get());
    draw_text_center("-2147483648", 10, 0, 0, 0, 50, 20, centred_text.get());
    EXPECT_TRUE(same_pixels(centred_int.get(), centred_text.get()));
}

TEST_F(Toolkit, EmptyTextDrawsNothing) {
    Surface dst = screen_like(50, 50);
    fill(dst.get(), 1, 2, 3);
    draw_text("", 10, 255, 255, 255, 5, 5, dst.get());
    draw_text_center("", 10, 255, 255, 255, 25, 25, dst.get());
    draw_text(nullptr, 10, 255, 255, 255, 5, 5, dst.get());
    EXPECT_TRUE(ink_box(dst.get(), pixel(dst.get(), 0, 0)).empty());
}

TEST(Drawing, MissingPictureDrawsNothing) {
    Surface dst = screen_like(50, 50);
    fill(dst.get(), 1, 2, 3);
    SDL_Surface* missing = IMG_Load("img/no_such_picture.gif");
    ASSERT_EQ(missing, nullptr);
    draw_image(missing, 0, 0, dst.get());
    draw_image_fade(missing, 0, 0, dst.get(), 128);
    draw_image_rotated(missing, 90, 0, 0, dst.get());
    EXPECT_TRUE(ink_box(dst.get(), pixel(dst.get(), 0, 0)).empty());
}

TEST(Drawing, FadeOfZeroLeavesTheTargetAndLaterDrawsAreOpaque) {
    Surface picture(IMG_Load("img/block_red.gif"));
    ASSERT_NE(picture, nullptr);
    Surface dst = screen_like(50, 50), reference = screen_like(50, 50);
    fill(dst.get(), 0, 0, 0);
    fill(reference.get(), 0, 0, 0);
    Uint16 black = pixel(dst.get(), 0, 0);

    draw_image_fade(picture.get(), 10, 10, dst.get(), 0);
    EXPECT_TRUE(ink_box(dst.get(), black).empty());

    draw_image(picture.get(), 10, 10, dst.get());
    draw_image(picture.get(), 10, 10, reference.get());
    EXPECT_EQ(pixel(dst.get(), 22, 22), pixel(reference.get(), 22, 22));
    EXPECT_TRUE(same_pixels(dst.get(), reference.get()));
    EXPECT_EQ(picture->flags & SDL_SRCALPHA, 0u);

    // Half way is a real blend: darker than the picture, brighter than black.
    Surface half = screen_like(50, 50);
    fill(half.get(), 0, 0, 0);
    draw_image_fade(picture.get(), 10, 10, half.get(), 128);
    Uint8 r, g, b, full_r;
    SDL_GetRGB(pixel(half.get(), 22, 22), half->format, &r, &g, &b);
    SDL_GetRGB(pixel(reference.get(), 22, 22), reference->format, &full_r, &g, &b);
    EXPECT_GT(r, 0);
    EXPECT_LT(r, full_r);
}

TEST(Drawing, AlphaIsCutToItsLowByte) {
    Surface picture(IMG_Load("img/block_red.gif"));
    ASSERT_NE(picture, nullptr);
    Surface dst = screen_like(50, 50);
    fill(dst.get(), 0, 0, 0);
    draw_image_fade(picture.get(), 0, 0, dst.get(), 256); // low byte 0
    EXPECT_TRUE(ink_box(dst.get(), pixel(dst.get(), 0, 0)).empty());
}

TEST(Drawing, MakeRectCutsTo16Bits) {
    SDL_Rect r = make_rect(70000, -1, 65537, 3);
    EXPECT_EQ(r.x, static_cast<Sint16>(70000 & 0xFFFF));
    EXPECT_EQ(r.y, -1);
    EXPECT_EQ(r.w, 1);
    EXPECT_EQ(r.h, 3);
}

// Quarter turns keep every row and column: drawn one pixel up and left, a
// turned 25 x 25 picture lands exactly on its cell, turned counter-clockwise.
TEST(Drawing, QuarterTurnsKeepTheWholePicture) {
    // An 8-bit picture whose four corners differ; palette entry 0 is unused,
    // as in the game's pictures.
    Surface picture(SDL_CreateRGBSurface(SDL_SWSURFACE, 25, 25, 8, 0, 0, 0, 0));
    SDL_Color palette[6] = {{255, 0, 255, 0}, {200, 0, 0, 0}, {0, 200, 0, 0}, {0, 0, 200, 0}, {200, 200, 0, 0},
                            {90, 90, 90, 0}};
    SDL_SetColors(picture.get(), palette, 0, 6);
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x)
            static_cast<Uint8*>(picture->pixels)[y * picture->pitch + x] = 5;
    auto set = [&](int x, int y, Uint8 index) { static_cast<Uint8*>(picture->pixels)[y * picture->pitch + x] = index; };
    set(0, 0, 1);
    set(24, 0, 2);
    set(24, 24, 3);
    set(0, 24, 4);
    // Which corner of the source shows at the top-left after each turn.
    const struct {
        int angle;
        int index;
    } turns[] = {{0, 1}, {90, 2}, {180, 3}, {270, 4}, {-90, 4}, {-270, 2}};
    for (const auto& turn : turns) {
        Surface dst = screen_like(60, 60);
        fill(dst.get(), 255, 255, 255);
        Uint16 sentinel = pixel(dst.get(), 0, 0);
        int shift = turn.angle == 0 ? 0 : -1;
        draw_image_rotated(picture.get(), turn.angle, 10 + shift, 10 + shift, dst.get());
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) {
                bool in_cell = x >= 10 && x < 35 && y >= 10 && y < 35;
                ASSERT_EQ(pixel(dst.get(), x, y) != sentinel, in_cell) << "angle " << turn.angle << " at " << x
                                                                       << "," << y;
            }
        SDL_Color want = palette[turn.index];
        EXPECT_EQ(pixel(dst.get(), 10, 10), SDL_MapRGB(dst->format, want.r, want.g, want.b)) << "angle " << turn.angle;
    }
}
