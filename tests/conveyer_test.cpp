// Belts: timing by the tick count, the anchor-end scan, the level-wide moved
// sets, footprint and drawing. Tables, records and copies of every kind are
// in device_pictures_test.
#include <gtest/gtest.h>

#include <vector>

#include "conveyer/conveyer.h"
#include "device_test_util.h"
#include "test_device.h"

TEST(BeltTiming, MovesOnMultiplesOfItsPeriodOnly) {
    for (int period : {10, 1, 2, 3, 7, 12}) {
        Level level;
        DeviceConveyer* belt = place<DeviceConveyer>(level, 0, 5, false, 20, DIR_RIGHT, period);
        level.add_block(0, 5, 'R');
        std::vector<int> moved_on;
        int last = 0;
        for (int t = 1; t < 4 * period; ++t) {
            level.tick();
            EXPECT_GE(belt->frame, 0);
            EXPECT_LT(belt->frame, DeviceConveyer::FRAME_COUNT);
            if (level.has_block(last + 1, 5)) {
                moved_on.push_back(t);
                ++last;
            }
        }
        EXPECT_EQ(moved_on, (std::vector<int>{period, 2 * period, 3 * period})) << "period " << period;
        EXPECT_EQ(last, 3) << "period " << period;
    }
}

TEST(BeltTiming, FrameAdvancesThroughFivePicturesPerPeriod) {
    Level level;
    DeviceConveyer* slow = place<DeviceConveyer>(level, 2, 5, false, 2, DIR_RIGHT, 10);
    DeviceConveyer* fast = place<DeviceConveyer>(level, 2, 7, false, 2, DIR_RIGHT, 5);
    std::vector<int> slow_frames, fast_frames;
    for (int t = 1; t <= 10; ++t) {
        level.tick();
        slow_frames.push_back(slow->frame);
        fast_frames.push_back(fast->frame);
    }
    EXPECT_EQ(slow_frames, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4, 4, 0}));
    EXPECT_EQ(fast_frames, (std::vector<int>{1, 2, 3, 4, 0, 1, 2, 3, 4, 0}));
}

TEST(BeltTiming, BeltsWithoutAPeriodLengthOrDirectionStandStill) {
    const struct {
        int length, direction, period;
    } belts[] = {{4, DIR_RIGHT, 0}, {4, DIR_RIGHT, -5}, {0, DIR_RIGHT, 5}, {-3, DIR_DOWN, 5}, {4, 4, 5}, {4, -1, 5}};
    for (const auto& b : belts) {
        Level level;
        DeviceConveyer* belt = place<DeviceConveyer>(level, 2, 5, false, b.length, b.direction, b.period);
        level.add_block(2, 5, 'R');
        run_ticks(level, 20);
        EXPECT_EQ(level.blocks[2][5], 'R') << b.length << ", " << b.direction << ", " << b.period;
        EXPECT_EQ(belt->floor_collide(2, 5), b.length > 0);
        if (b.period <= 0) {
            EXPECT_EQ(belt->frame, 0);
        }
    }
}

// Belts running right or down are scanned from their rear end: the pushed
// chain is found again ahead and pushed once more, so a train of separate
// blocks spreads out. Belts running up or left are scanned from their front
// end: each block advances one cell.
TEST(BeltScan, TrainOfSeparateBlocks) {
    const struct {
        int direction;
        int advances[3]; // of the blocks from the anchor end onwards
    } cases[] = {{DIR_RIGHT, {1, 2, 3}}, {DIR_DOWN, {1, 2, 3}}, {DIR_LEFT, {1, 1, 1}}, {DIR_UP, {1, 1, 1}}};
    for (const auto& c : cases) {
        Level level;
        DeviceConveyer* belt = place<DeviceConveyer>(level, 3, 3, false, 8, c.direction, 10);
        int groups[3];
        for (int k = 0; k < 3; ++k) {
            FloorCell at = belt->cell(3 + k);
            level.add_block(at.x, at.y, 'R');
            groups[k] = level.group_at(at.x, at.y);
        }
        level.ticks = 9;
        level.tick();
        Step step = direction_step(c.direction);
        for (int k = 0; k < 3; ++k) {
            FloorCell from = belt->cell(3 + k);
            int advance = c.advances[k];
            EXPECT_EQ(level.group_at(from.x + step.dx * advance, from.y + step.dy * advance), groups[k])
                << "block " << k << " in direction " << c.direction;
        }
    }
}

TEST(BeltMovedSets, BeltsOfDifferentDirectionsEachMoveTheGroup) {
    Level level;
    place<DeviceConveyer>(level, 2, 5, false, 8, DIR_RIGHT, 5);
    place<DeviceConveyer>(level, 13, 2, false, 8, DIR_DOWN, 5);
    // One group; after the right belt's step it lies on the down belt too.
    level.add_block(3, 5, 'R');
    level.add_block(12, 4, 'G');
    level.groups[12][4] = level.groups[3][5];
    run_ticks(level, 5);
    EXPECT_EQ(level.blocks[4][6], 'R');
    EXPECT_EQ(level.blocks[13][5], 'G');
}

TEST(BeltMovedSets, GroupOnTwoParallelBeltsMovesOnceAndAFailedPushIsNotRetried) {
    Level level;
    place<DeviceConveyer>(level, 2, 5, false, 8, DIR_RIGHT, 5);
    // Between the two belts in tick order, the wall that stopped the first
    // belt's push goes away; the second belt must not try again.
    TestDevice* wall = add_test_device(level, 4, 5);
    wall->solid.insert({4, 5});
    wall->on_tick = [wall](Level*) { wall->solid.clear(); };
    place<DeviceConveyer>(level, 2, 6, false, 8, DIR_RIGHT, 5);
    level.add_block(3, 5, 'R');
    level.add_block(3, 6, 'G');
    level.groups[3][6] = level.groups[3][5];
    level.ticks = 4;
    level.tick();
    EXPECT_EQ(level.blocks[3][5], 'R');
    EXPECT_EQ(level.blocks[3][6], 'G');
    // The next step moves the group, once for both belts.
    run_ticks(level, 5);
    EXPECT_EQ(level.blocks[4][5], 'R');
    EXPECT_EQ(level.blocks[4][6], 'G');
    EXPECT_FALSE(level.has_block(5, 5));
}

TEST(BeltFootprint, CoversItsLineAndIsNeverSolid) {
    const struct {
        int direction, cx, cy;
        bool covered;
    } cells[] = {{DIR_DOWN, 4, 2, true}, {DIR_DOWN, 4, 4, true}, {DIR_DOWN, 4, 5, false}, {DIR_DOWN, 5, 2, false},
                 {DIR_UP, 4, 4, true},   {DIR_UP, 4, 1, false},   {DIR_LEFT, 6, 2, true},  {DIR_LEFT, 7, 2, false},
                 {DIR_LEFT, 4, 3, false}};
    for (const auto& c : cells) {
        DeviceConveyer belt(4, 2, true, 3, c.direction, 10);
        EXPECT_EQ(belt.floor_collide(c.cx, c.cy), c.covered) << c.direction << ": " << c.cx << ", " << c.cy;
        for (int cx = 0; cx < GRID_W; ++cx)
            for (int cy = 0; cy < GRID_H; ++cy)
                EXPECT_FALSE(belt.block_collide(cx, cy));
    }
}

// Each frame its own colour, with a light mark at the end the belt runs
// towards (the right end, as drawn).
TEST(BeltDrawing, EachCellShowsTheFrameTurnedToTheDirection) {
    const Rgb frame_colours[5] = {{128, 0, 0}, {0, 128, 0}, {0, 0, 128}, {128, 128, 0}, {0, 128, 128}};
    const Rgb mark{248, 248, 248};
    ArtDir art;
    const char* files[5] = {"conveyer_8.gif", "conveyer_7.gif", "conveyer_5.gif", "conveyer_4.gif", "conveyer_2.gif"};
    for (int i = 0; i < 5; ++i)
        art.picture(files[i], frame_colours[i], {{20, 10, 5, 5, mark}});
    // Where the mark lands inside a cell, per direction.
    const struct {
        int direction, mark_x, mark_y;
    } cases[] = {{DIR_UP, 12, 2}, {DIR_RIGHT, 22, 12}, {DIR_DOWN, 12, 22}, {DIR_LEFT, 2, 12}};
    for (const auto& e : cases) {
        auto belt = art.make<DeviceConveyer>(0, 0, false, 3, e.direction, 10);
        belt->frame = 2;
        SurfacePtr surface = make_surface(150, 150);
        belt->draw_at(surface.get(), 25, 25, false);
        for (int i = 0; i < 3; ++i) {
            int cx = 25 + (e.direction % 2 ? 25 * i : 0);
            int cy = 25 + (e.direction % 2 ? 0 : 25 * i);
            EXPECT_TRUE(pixel_is(surface.get(), cx + e.mark_x, cy + e.mark_y, mark)) << "direction " << e.direction;
            EXPECT_TRUE(pixel_is(surface.get(), cx + 12, cy + 12, frame_colours[2])) << "direction " << e.direction;
        }
        // Nothing beyond the belt's three cells.
        int after_x = 25 + (e.direction % 2 ? 75 : 0) + 5;
        int after_y = 25 + (e.direction % 2 ? 0 : 75) + 5;
        EXPECT_TRUE(pixel_is(surface.get(), after_x, after_y, BLACK)) << "direction " << e.direction;
    }
}
