// Converters: the single conversion cell, the lane through the footprint,
// and drawing with borrowed block pictures.
#include <gtest/gtest.h>

#include "converter/converter.h"
#include "device_test_util.h"

TEST(ConverterConversion, OnlyTheConversionCellConvertsAndOnlyItsType) {
    Level level;
    place<DeviceConverter>(level, 10, 5, false, 'R', 'G', &level);
    place<DeviceConverter>(level, 2, 5, false, 'G', 'U', &level);
    level.add_block(11, 7, 'R');
    level.add_block(12, 7, 'R');
    level.add_block(13, 7, 'R');
    level.add_block(12, 8, 'R');
    level.add_block(4, 7, 'R');
    level.sticky[12][7] = 1;
    int group = level.groups[12][7];
    level.tick();
    EXPECT_EQ(level.blocks[11][7], 'R');
    EXPECT_EQ(level.blocks[12][7], 'G');
    EXPECT_EQ(level.blocks[13][7], 'R');
    EXPECT_EQ(level.blocks[12][8], 'R');
    EXPECT_EQ(level.blocks[4][7], 'R') << "a block of another type stays";
    EXPECT_EQ(level.groups[12][7], group);
    EXPECT_EQ(level.sticky[12][7], 1);
}

TEST(ConverterConversion, NeverConvertsFromOrIntoTheEmptyType) {
    Level level;
    place<DeviceConverter>(level, 10, 5, false, EMPTY_BLOCK, 'R', &level);
    place<DeviceConverter>(level, 2, 5, false, 'G', EMPTY_BLOCK, &level);
    level.add_block(4, 7, 'G');
    level.tick();
    EXPECT_FALSE(level.has_block(12, 7)) << "no block without a group appears";
    EXPECT_EQ(level.groups[12][7], 0);
    EXPECT_EQ(level.blocks[4][7], 'G') << "a grouped block never turns empty";
}

// Two solid rows, the open lane through the conversion cell, and a foot.
TEST(ConverterFootprint, TwoSolidRowsALaneAndAFoot) {
    DeviceConverter converter(10, 5, false, 'R', 'G', nullptr);
    for (int cx = 9; cx <= 14; ++cx) {
        for (int cy = 4; cy <= 9; ++cy) {
            int col = cx - 10, row = cy - 5;
            bool expected = ((row == 0 || row == 1) && col >= 0 && col <= 3) || (row == 3 && (col == 1 || col == 2));
            EXPECT_EQ(converter.floor_collide(cx, cy), expected) << cx << ", " << cy;
            EXPECT_EQ(converter.block_collide(cx, cy), expected) << cx << ", " << cy;
        }
    }
}

TEST(ConverterDrawing, BodyThenBorrowedBlockPictures) {
    ArtDir art;
    art.picture("converter.gif", MAGENTA, {{0, 0, 25, 20, {128, 128, 128}}});
    art.picture("block_red.gif", {248, 0, 0});
    art.picture("block_green.gif", {0, 248, 0});
    auto inside = art.enter();
    Level level;
    DeviceConverter converter(0, 0, false, 'R', 'G', &level);
    DeviceConverter unknown(0, 0, false, '?', 'G', &level);
    ASSERT_NE(converter.from_picture, nullptr);
    EXPECT_EQ(converter.from_picture, level.block_images['R']) << "borrowed, not loaded again";
    EXPECT_EQ(unknown.from_picture, nullptr);
    SurfacePtr surface = make_surface(150, 150);
    converter.draw_at(surface.get(), 20, 20, true);
    EXPECT_TRUE(pixel_is(surface.get(), 20 + 22, 20 + 22, {248, 0, 0}));
    EXPECT_TRUE(pixel_is(surface.get(), 20 + 77, 20 + 22, {0, 248, 0}));
    EXPECT_TRUE(pixel_is(surface.get(), 20 + 2, 20 + 2, {128, 128, 128}));
    EXPECT_TRUE(pixel_is(surface.get(), 20 + 2, 20 + 22, BLACK)) << "magenta is transparent";
    unknown.draw_at(surface.get(), 20, 20, true);
}
