// Belts: timing by the tick count, the anchor-end scan, the level-wide moved
// sets, footprint, records and drawing.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "conveyer/conveyer.h"
#include "device_test_util.h"
#include "test_device.h"

namespace {
// Steps until the tick count reaches t - 1, so that the next tick runs at t.
void advance_to(Level& level, int t) { level.ticks = t - 1; }

int column_of_group(const Level& level, int group, int row) {
    for (int x = 0; x < FLOOR_W; ++x)
        if (level.groups[x][row] == group)
            return x;
    return -1;
}
} // namespace

TEST(BeltTiming, Period10MovesOnMultiplesOfTenOnly) {
    Level level;
    place<DeviceConveyer>(level, 2, 5, false, 8, DIR_RIGHT, 10);
    level.add_block(2, 5, 'R');
    std::vector<int> moved_on;
    int last = 2;
    for (int t = 1; t <= 35; ++t) {
        level.tick();
        int now = column_of_group(level, 1, 5);
        if (now != last)
            moved_on.push_back(t);
        last = now;
    }
    EXPECT_EQ(moved_on, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(last, 5);
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
    slow->reset();
    EXPECT_EQ(slow->frame, 0);
}

TEST(BeltTiming, OddPeriodsStillMoveEveryPeriodWithAValidFrame) {
    for (int period : {1, 2, 3, 7, 12}) {
        Level level;
        DeviceConveyer* belt = place<DeviceConveyer>(level, 0, 5, false, 20, DIR_RIGHT, period);
        level.add_block(0, 5, 'R');
        std::vector<int> moved_on;
        int last = 0;
        for (int t = 1; t <= 3 * period; ++t) {
            level.tick();
            EXPECT_GE(belt->frame, 0);
            EXPECT_LT(belt->frame, DeviceConveyer::FRAME_COUNT);
            int now = column_of_group(level, 1, 5);
            if (now != last)
                moved_on.push_back(t);
            last = now;
        }
        EXPECT_EQ(moved_on, (std::vector<int>{period, 2 * period, 3 * period})) << "period " << period;
    }
}

TEST(BeltTiming, NonPositivePeriodNeverMoves) {
    for (int period : {0, -5}) {
        Level level;
        DeviceConveyer* belt = place<DeviceConveyer>(level, 2, 5, false, 4, DIR_RIGHT, period);
        level.add_block(2, 5, 'R');
        run_ticks(level, 20);
        EXPECT_EQ(level.blocks[2][5], 'R');
        EXPECT_EQ(belt->frame, 0);
    }
}

// Three touching single blocks in the middle of an 8-cell belt, one step.
struct TrainCase {
    int direction;
    std::vector<int> advances; // of the blocks from the anchor end onwards
};

void PrintTo(const TrainCase& c, std::ostream* out) { *out << "direction " << c.direction; }

class BeltScan : public testing::TestWithParam<TrainCase> {};

std::string direction_name(const testing::TestParamInfo<TrainCase>& info) {
    static const char* const names[] = {"Up", "Right", "Down", "Left"};
    return names[info.param.direction];
}

TEST_P(BeltScan, TrainOfSeparateBlocks) {
    const TrainCase& c = GetParam();
    Level level;
    DeviceConveyer* belt = place<DeviceConveyer>(level, 3, 3, false, 8, c.direction, 10);
    for (int i = 3; i <= 5; ++i) {
        FloorCell at = belt->cell(i);
        level.add_block(at.x, at.y, 'R');
    }
    std::vector<int> start_group = {level.group_at(belt->cell(3).x, belt->cell(3).y),
                                    level.group_at(belt->cell(4).x, belt->cell(4).y),
                                    level.group_at(belt->cell(5).x, belt->cell(5).y)};
    advance_to(level, 10);
    level.tick();
    Step step = direction_step(c.direction);
    for (int k = 0; k < 3; ++k) {
        FloorCell from = belt->cell(3 + k);
        int advance = c.advances[k];
        EXPECT_EQ(level.group_at(from.x + step.dx * advance, from.y + step.dy * advance), start_group[k])
            << "block " << k << " in direction " << c.direction;
    }
}

// Belts running right or down are scanned from their rear end: the pushed
// chain is found again ahead and pushed once more, so the train spreads out.
// Belts running up or left are scanned from their front end: one cell each.
INSTANTIATE_TEST_SUITE_P(AllDirections, BeltScan,
                         testing::Values(TrainCase{DIR_RIGHT, {1, 2, 3}}, TrainCase{DIR_DOWN, {1, 2, 3}},
                                         TrainCase{DIR_LEFT, {1, 1, 1}}, TrainCase{DIR_UP, {1, 1, 1}}),
                         direction_name);

TEST(BeltMovedSets, GluedGroupOnTwoParallelBeltsMovesOncePerStep) {
    Level level;
    place<DeviceConveyer>(level, 2, 5, false, 8, DIR_RIGHT, 5);
    place<DeviceConveyer>(level, 2, 6, false, 8, DIR_RIGHT, 5);
    level.add_block(3, 5, 'R');
    level.add_block(3, 6, 'G');
    level.groups[3][6] = level.groups[3][5];
    run_ticks(level, 5);
    EXPECT_EQ(level.blocks[4][5], 'R');
    EXPECT_EQ(level.blocks[4][6], 'G');
    EXPECT_FALSE(level.has_block(5, 5));
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

TEST(BeltMovedSets, FailedPushIsNotRetriedBySameDirectionBelt) {
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
    advance_to(level, 5);
    level.tick();
    EXPECT_EQ(level.blocks[3][5], 'R');
    EXPECT_EQ(level.blocks[3][6], 'G');
    EXPECT_EQ(level.moved[DIR_RIGHT].count(level.groups[3][5]), 1u);
    run_ticks(level, 5);
    EXPECT_EQ(level.blocks[4][5], 'R') << "the next step moves it";
}

TEST(BeltMovedSets, GroupPartlyOnTheBeltMovesWhole) {
    Level level;
    place<DeviceConveyer>(level, 2, 5, false, 4, DIR_RIGHT, 5);
    level.add_block(3, 5, 'R');
    level.add_block(3, 4, 'G');
    level.groups[3][4] = level.groups[3][5];
    run_ticks(level, 5);
    EXPECT_EQ(level.blocks[4][5], 'R');
    EXPECT_EQ(level.blocks[4][4], 'G');
}

TEST(BeltFootprint, CoversItsLineAndIsNeverSolid) {
    DeviceConveyer down(4, 2, true, 3, DIR_DOWN, 10);
    DeviceConveyer up(4, 2, true, 3, DIR_UP, 10);
    DeviceConveyer left(4, 2, true, 3, DIR_LEFT, 10);
    for (DeviceConveyer* vertical : {&down, &up}) {
        EXPECT_TRUE(vertical->floor_collide(4, 2));
        EXPECT_TRUE(vertical->floor_collide(4, 4));
        EXPECT_FALSE(vertical->floor_collide(4, 5));
        EXPECT_FALSE(vertical->floor_collide(4, 1));
        EXPECT_FALSE(vertical->floor_collide(5, 2));
    }
    EXPECT_TRUE(left.floor_collide(6, 2));
    EXPECT_FALSE(left.floor_collide(7, 2));
    EXPECT_FALSE(left.floor_collide(4, 3));
    for (int cx = 0; cx < GRID_W; ++cx)
        for (int cy = 0; cy < GRID_H; ++cy)
            EXPECT_FALSE(down.block_collide(cx, cy));
    EXPECT_TRUE(down.is_low());
}

TEST(BeltFootprint, NonPositiveLengthCoversNothingAndMovesNothing) {
    Level level;
    DeviceConveyer* belt = place<DeviceConveyer>(level, 2, 5, false, 0, DIR_RIGHT, 5);
    place<DeviceConveyer>(level, 2, 6, false, -3, DIR_DOWN, 5);
    level.add_block(2, 5, 'R');
    run_ticks(level, 10);
    EXPECT_EQ(level.blocks[2][5], 'R');
    EXPECT_FALSE(belt->floor_collide(2, 5));
}

TEST(BeltFootprint, UnknownDirectionNeverMovesAndNeverCrashes) {
    Level level;
    for (int direction : {4, 7, -1, 1000})
        place<DeviceConveyer>(level, 2, 5, false, 4, direction, 5);
    level.add_block(3, 5, 'R');
    run_ticks(level, 10);
    EXPECT_EQ(level.blocks[3][5], 'R');
    SurfacePtr surface = make_surface(100, 100);
    for (auto& belt : level.devices)
        belt->draw_at(surface.get(), 0, 0, true);
}

TEST(BeltEdges, BeltHangingOffTheFloorReadsNothingOutside) {
    Level level;
    place<DeviceConveyer>(level, 24, 20, false, 8, DIR_RIGHT, 1);
    place<DeviceConveyer>(level, -3, -2, false, 8, DIR_DOWN, 1);
    level.add_block(25, 20, 'R');
    run_ticks(level, 3);
    EXPECT_EQ(level.blocks[25][20], 'R') << "blocks never leave the floor";
}

TEST(BeltInterface, NoLuaTableNoNameAndItsRecord) {
    Level level;
    DeviceConveyer belt(3, 4, true, 8, DIR_LEFT, 10);
    belt.give_name(5);
    EXPECT_EQ(belt.get_code_stub(&level), "");
    EXPECT_STREQ(belt.name, "");
    EXPECT_EQ(belt.number, 0);
    EXPECT_EQ(belt.kind, "");
    EXPECT_EQ(belt.get_save_stub(&level), "b, 3, 4, 0, 8, 3, 10");
    belt.code_action("on", 1, &level); // ignored
}

TEST(BeltInterface, CopyKeepsConstructorArgumentsButNotRunState) {
    DeviceConveyer belt(3, 4, true, 8, DIR_UP, 5);
    belt.frame = 3;
    auto made = belt.copy();
    auto* twin = dynamic_cast<DeviceConveyer*>(made.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->x, 3);
    EXPECT_EQ(twin->y, 4);
    EXPECT_TRUE(twin->fixed);
    EXPECT_EQ(twin->length, 8);
    EXPECT_EQ(twin->direction, DIR_UP);
    EXPECT_EQ(twin->period, 5);
    EXPECT_EQ(twin->frame, 0);
}

// Belt pictures: each frame its own colour, with a light mark at the end the
// belt runs towards (the right end, as drawn).
class BeltDrawing : public testing::Test {
protected:
    static constexpr Rgb FRAME_COLOURS[5] = {{128, 0, 0}, {0, 128, 0}, {0, 0, 128}, {128, 128, 0}, {0, 128, 128}};
    static constexpr Rgb MARK{248, 248, 248};
    ArtDir art;

    void SetUp() override {
        const char* files[5] = {"conveyer_8.gif", "conveyer_7.gif", "conveyer_5.gif", "conveyer_4.gif",
                                "conveyer_2.gif"};
        for (int i = 0; i < 5; ++i)
            art.picture(files[i], FRAME_COLOURS[i], {{20, 10, 5, 5, MARK}});
    }
};

TEST_F(BeltDrawing, EachCellShowsTheFrameTurnedToTheDirection) {
    // Where the mark lands inside a cell, per direction.
    struct Expect {
        int direction;
        int mark_x, mark_y;
    } cases[] = {{DIR_UP, 12, 2}, {DIR_RIGHT, 22, 12}, {DIR_DOWN, 12, 22}, {DIR_LEFT, 2, 12}};
    for (const Expect& e : cases) {
        auto belt = art.make<DeviceConveyer>(0, 0, false, 3, e.direction, 10);
        belt->frame = 2;
        SurfacePtr surface = make_surface(150, 150);
        belt->draw_at(surface.get(), 25, 25, false);
        for (int i = 0; i < 3; ++i) {
            int cx = 25 + (e.direction % 2 ? 25 * i : 0);
            int cy = 25 + (e.direction % 2 ? 0 : 25 * i);
            EXPECT_TRUE(pixel_is(surface.get(), cx + e.mark_x, cy + e.mark_y, MARK)) << "direction " << e.direction;
            EXPECT_TRUE(pixel_is(surface.get(), cx + 12, cy + 12, FRAME_COLOURS[2])) << "direction " << e.direction;
        }
        // Nothing beyond the belt's three cells.
        int after_x = 25 + (e.direction % 2 ? 75 : 0) + 5;
        int after_y = 25 + (e.direction % 2 ? 0 : 75) + 5;
        EXPECT_TRUE(pixel_is(surface.get(), after_x, after_y, BLACK)) << "direction " << e.direction;
    }
}
