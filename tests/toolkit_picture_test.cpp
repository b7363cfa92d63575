// Device pictures: magenta keys, and turned pictures that keep every pixel of
// an opaque palettised picture and the transparency of a keyed one.
#include <gtest/gtest.h>

#include <SDL_image.h>

#include "device_test_util.h"

namespace {
// Dark blue is palette index 0 of the pictures ArtDir writes.
constexpr Rgb FIRST{0, 0, 128};
constexpr Rgb MARK{248, 248, 0};
} // namespace

TEST(ToolkitPicture, OpaquePictureKeepsItsFirstPaletteColourAtEveryTurn) {
    ArtDir art;
    art.picture("plain.gif", FIRST, {{0, 0, 5, 5, MARK}});
    SurfacePtr picture = art.load("plain.gif", false);
    ASSERT_NE(picture, nullptr);
    // Where the top-left mark lands, per counter-clockwise turn.
    struct Turn {
        int angle, mark_x, mark_y;
    } turns[] = {{0, 2, 2}, {90, 2, 22}, {180, 22, 22}, {270, 22, 2}, {-90, 22, 2}};
    for (const Turn& t : turns) {
        SurfacePtr surface = make_surface(40, 40);
        SDL_FillRect(surface.get(), nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
        draw_image_rotated(picture.get(), t.angle, 10, 10, surface.get());
        // The picture fills exactly 26 x 26 pixels from (10, 10): the cell at
        // (11, 11) for a turned one, (10, 10) unturned.
        int shift = t.angle == 0 ? 0 : 1;
        EXPECT_TRUE(pixel_is(surface.get(), 10 + shift + 12, 10 + shift + 12, FIRST)) << "angle " << t.angle;
        EXPECT_TRUE(pixel_is(surface.get(), 10 + shift + t.mark_x, 10 + shift + t.mark_y, MARK)) << "angle " << t.angle;
        // No filler drawn above or left of the picture.
        EXPECT_TRUE(pixel_is(surface.get(), 10 + shift - 1, 20, {255, 255, 255})) << "angle " << t.angle;
        EXPECT_TRUE(pixel_is(surface.get(), 20, 10 + shift - 1, {255, 255, 255})) << "angle " << t.angle;
    }
}

TEST(ToolkitPicture, KeyedPictureStaysTransparentWhenTurned) {
    ArtDir art;
    art.picture("keyed.gif", MAGENTA, {{10, 0, 5, 25, MARK}});
    SurfacePtr picture = art.load("keyed.gif", true);
    ASSERT_NE(picture, nullptr);
    SurfacePtr surface = make_surface(40, 40);
    draw_image_rotated(picture.get(), 270, 0, 0, surface.get());
    // A vertical bar turned a quarter becomes horizontal; the rest stays clear.
    EXPECT_TRUE(pixel_is(surface.get(), 3, 13, MARK));
    EXPECT_TRUE(pixel_is(surface.get(), 13, 3, BLACK));
}

TEST(ToolkitPicture, FadedTurnBlendsWithTheBackground) {
    ArtDir art;
    art.picture("plain.gif", {248, 0, 0});
    SurfacePtr picture = art.load("plain.gif", false);
    SurfacePtr surface = make_surface(40, 40);
    draw_image_rotated_fade(picture.get(), 180, 0, 0, surface.get(), 128);
    EXPECT_TRUE(pixel_is(surface.get(), 13, 13, {124, 0, 0}, 12));
    EXPECT_TRUE(pixel_is(surface.get(), 0, 0, BLACK)) << "filler left out";
}

TEST(ToolkitPicture, KeyingAPaletteWithoutMagentaKeepsEveryColour) {
    ArtDir art;
    // Light grey is the palette's nearest colour to magenta.
    art.picture("solid.gif", FIRST, {{0, 0, 5, 5, {248, 248, 248}}});
    art.picture("keyed.gif", MAGENTA, {{0, 0, 5, 5, {248, 248, 248}}});
    SurfacePtr solid = art.load("solid.gif", true);
    SurfacePtr keyed = art.load("keyed.gif", true);
    ASSERT_NE(solid, nullptr);
    ASSERT_NE(keyed, nullptr);
    SurfacePtr surface = make_surface(50, 25);
    draw_image(solid.get(), 0, 0, surface.get());
    draw_image(keyed.get(), 25, 0, surface.get());
    EXPECT_TRUE(pixel_is(surface.get(), 2, 2, {248, 248, 248}));
    EXPECT_TRUE(pixel_is(surface.get(), 12, 12, FIRST));
    EXPECT_TRUE(pixel_is(surface.get(), 27, 2, {248, 248, 248}));
    EXPECT_TRUE(pixel_is(surface.get(), 37, 12, BLACK)) << "magenta stays transparent";
}
