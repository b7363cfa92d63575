// Device pictures: magenta keys, and turned pictures that keep every pixel of
// an opaque palettised picture and the transparency of a keyed one.
#include <gtest/gtest.h>

#include "device_test_util.h"

namespace {
// Dark blue is palette index 0 of the pictures ArtDir writes.
constexpr Rgb FIRST{0, 0, 128};
constexpr Rgb MARK{248, 248, 0};
constexpr Rgb WHITE{255, 255, 255};
} // namespace

TEST(ToolkitPicture, OpaquePictureKeepsItsFirstPaletteColourAtEveryTurn) {
    ArtDir art;
    art.picture("plain.gif", FIRST, {{0, 0, 5, 5, MARK}});
    SurfacePtr picture = art.load("plain.gif", false);
    ASSERT_NE(picture, nullptr);
    // Where the top-left mark lands, per counter-clockwise turn.
    const struct {
        int angle, mark_x, mark_y;
    } turns[] = {{0, 2, 2}, {90, 2, 22}, {180, 22, 22}, {270, 22, 2}, {-90, 22, 2}};
    for (const auto& t : turns) {
        SurfacePtr surface = make_surface(40, 40);
        SDL_FillRect(surface.get(), nullptr, SDL_MapRGB(surface->format, 255, 255, 255));
        draw_image_rotated(picture.get(), t.angle, 10, 10, surface.get());
        // The picture fills exactly 26 x 26 pixels from (10, 10): the cell at
        // (11, 11) for a turned one, (10, 10) unturned.
        int shift = t.angle == 0 ? 0 : 1;
        EXPECT_TRUE(pixel_is(surface.get(), 10 + shift + 12, 10 + shift + 12, FIRST)) << "angle " << t.angle;
        EXPECT_TRUE(pixel_is(surface.get(), 10 + shift + t.mark_x, 10 + shift + t.mark_y, MARK)) << "angle " << t.angle;
        // No filler drawn above or left of the picture.
        EXPECT_TRUE(pixel_is(surface.get(), 10 + shift - 1, 20, WHITE)) << "angle " << t.angle;
        EXPECT_TRUE(pixel_is(surface.get(), 20, 10 + shift - 1, WHITE)) << "angle " << t.angle;
    }
    // Faded, it blends with the background and still leaves the filler out.
    SurfacePtr surface = make_surface(40, 40);
    draw_image_rotated_fade(picture.get(), 180, 0, 0, surface.get(), 128);
    EXPECT_TRUE(pixel_is(surface.get(), 13, 13, {0, 0, 64}, 12));
    EXPECT_TRUE(pixel_is(surface.get(), 0, 0, BLACK)) << "filler left out";
}

// Light grey is the nearest colour to magenta in a palette without it: such a
// picture has nothing to key.
TEST(ToolkitPicture, MagentaKeysOnlyPicturesThatHaveIt) {
    ArtDir art;
    art.picture("solid.gif", FIRST, {{0, 0, 5, 5, {248, 248, 248}}});
    art.picture("keyed.gif", MAGENTA, {{10, 0, 5, 25, MARK}});
    SurfacePtr solid = art.load("solid.gif", true);
    SurfacePtr keyed = art.load("keyed.gif", true);
    ASSERT_NE(solid, nullptr);
    ASSERT_NE(keyed, nullptr);
    SurfacePtr surface = make_surface(80, 30);
    draw_image(solid.get(), 0, 0, surface.get());
    draw_image(keyed.get(), 25, 0, surface.get());
    EXPECT_TRUE(pixel_is(surface.get(), 2, 2, {248, 248, 248}));
    EXPECT_TRUE(pixel_is(surface.get(), 12, 12, FIRST));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 12, 12, MARK));
    EXPECT_TRUE(pixel_is(surface.get(), 25 + 3, 3, BLACK)) << "magenta stays transparent";
    // Turned a quarter, the vertical bar lies across and the rest stays clear.
    draw_image_rotated(keyed.get(), 270, 50, 0, surface.get());
    EXPECT_TRUE(pixel_is(surface.get(), 50 + 3, 13, MARK));
    EXPECT_TRUE(pixel_is(surface.get(), 50 + 13, 3, BLACK));
}
