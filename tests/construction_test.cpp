// Building in the level loop: taking devices from the bin, dropping, moving,
// deleting and naming them, and the editor's texts.
#include <gtest/gtest.h>

#include "conveyer/conveyer.h"
#include "core/level_loop.h"
#include "core/placement.h"
#include "level/level.h"
#include "loop_test_util.h"
#include "pusher/pusher.h"

namespace {
class ConstructionTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        loop_ = std::make_unique<LevelLoop>(&info_, &level_);
    }
    void TearDown() override {
        loop_.reset();
        WindowTest::TearDown();
    }

    void handle(const SDL_Event& event) { ASSERT_TRUE(loop_->handle_event(event, loop_->mode)); }
    void press(int x, int y) { handle(mouse_event(SDL_MOUSEBUTTONDOWN, x, y)); }
    void release(int x, int y) { handle(mouse_event(SDL_MOUSEBUTTONUP, x, y)); }
    void key(SDLKey sym, Uint16 unicode = 0) { handle(key_event(sym, unicode)); }

    // Takes an upward pusher from page 2 of the bin (grab offset 9, 2) and
    // releases it at (x, y).
    void new_pusher_at(int x, int y) {
        key(SDLK_3);
        press(650 + 59, 52);
        release(x, y);
    }
    // Puts a belt of `length` cells running right at (x, y) on the floor.
    DeviceConveyer* place_belt(int x, int y, int length) {
        level_.devices.push_back(std::make_unique<DeviceConveyer>(x, y, false, length, DIR_RIGHT, 10));
        return static_cast<DeviceConveyer*>(level_.devices.back().get());
    }
    Device* device(size_t i) { return level_.devices.at(i).get(); }

    Level level_;
    std::unique_ptr<LevelLoop> loop_;
};
} // namespace

TEST_F(ConstructionTest, NewDeviceSnapsToTheNearestCellAndGetsItsName) {
    new_pusher_at(9 + 25 * 4 + 12, 2 + 25 * 6 - 12);
    ASSERT_EQ(level_.devices.size(), 1u);
    EXPECT_EQ(device(0)->x, 4);
    EXPECT_EQ(device(0)->y, 6);
    EXPECT_STREQ(device(0)->name, "pusher_0");
    EXPECT_EQ(loop_->held, nullptr);
}

TEST_F(ConstructionTest, NumbersCountUpAndFreedOnesAreReused) {
    for (int i = 0; i < 3; ++i)
        new_pusher_at(100 + 50 * i, 100);
    ASSERT_EQ(level_.devices.size(), 3u);
    EXPECT_STREQ(device(2)->name, "pusher_2");
    // Drag pusher_1 onto the panel.
    press(150 + 5, 100);
    release(700, 100);
    ASSERT_EQ(level_.devices.size(), 2u);
    new_pusher_at(400, 400);
    EXPECT_STREQ(device(2)->name, "pusher_1");
    EXPECT_EQ(device(2)->number, 1);
}

TEST_F(ConstructionTest, DropsNearTheLeftEdgeSnapOrAreRefused) {
    // Picked up at its fifth cell, the belt's top-left pixel lies 100 + 5 pixels left of the pointer.
    const struct {
        int left_of_edge;
        int expected_x;
    } cases[] = {{10, 0}, {13, 0}, {36, 0}, {37, 8}};
    for (const auto& c : cases) {
        DeviceConveyer* belt = place_belt(8, 3, 8);
        press(25 * 12 + 5, 25 * 3 + 5);
        ASSERT_EQ(loop_->held, belt);
        release(105 - c.left_of_edge, 25 * 3 + 5);
        EXPECT_EQ(belt->x, c.expected_x) << c.left_of_edge << " pixels left of the edge";
        level_.devices.clear();
    }
}

TEST_F(ConstructionTest, DevicesMustStayOnTheFloor) {
    DeviceConveyer* wide = place_belt(5, 5, 2);
    press(25 * 5 + 1, 25 * 5 + 1);
    release(25 * 25 + 1, 25 * 5 + 1); // second cell would be in column 26
    EXPECT_EQ(wide->x, 5);
    auto tall = std::make_unique<DeviceConveyer>(10, 10, false, 2, DIR_UP, 10);
    DeviceConveyer* belt = tall.get();
    level_.devices.push_back(std::move(tall));
    press(25 * 10 + 1, 25 * 10 + 1);
    release(25 * 10 + 1, 25 * 21 + 1); // second cell would be in row 22
    EXPECT_EQ(belt->y, 10);
    press(25 * 10 + 1, 25 * 10 + 1);
    release(25 * 10 + 1, 25 * 20 + 1);
    EXPECT_EQ(belt->y, 20);
}

TEST_F(ConstructionTest, OverlapsAreRefused) {
    new_pusher_at(9 + 100, 2 + 100);
    ASSERT_EQ(level_.devices.size(), 1u);
    new_pusher_at(9 + 100, 2 + 100); // onto the first: thrown away
    EXPECT_EQ(level_.devices.size(), 1u);
    new_pusher_at(9 + 200, 2 + 100);
    ASSERT_EQ(level_.devices.size(), 2u);
    press(200 + 3, 100 + 3);
    release(100 + 3, 100 + 3); // a moved device goes back to its cell
    EXPECT_EQ(device(1)->x, 8);
    EXPECT_EQ(level_.devices.size(), 2u);
}

TEST_F(ConstructionTest, ReleasingRightOfTheFloorDeletes) {
    new_pusher_at(109, 102);
    press(103, 103);
    release(650, 103); // on the boundary: refused, stays
    EXPECT_EQ(level_.devices.size(), 1u);
    press(103, 103);
    release(651, 103);
    EXPECT_TRUE(level_.devices.empty());
}

TEST_F(ConstructionTest, FixedDevicesStayPutUnlessAMovableOneCoversTheCell) {
    auto fixed = std::make_unique<DeviceConveyer>(4, 4, true, 1, DIR_RIGHT, 10);
    level_.devices.push_back(std::move(fixed));
    press(25 * 4 + 3, 25 * 4 + 3);
    EXPECT_EQ(loop_->held, nullptr);
    level_.devices.push_back(std::make_unique<DevicePusher>(4, 4, false, DIR_UP));
    press(25 * 4 + 3, 25 * 4 + 3);
    EXPECT_EQ(loop_->held, device(1));
}

TEST_F(ConstructionTest, StartingEndsTheDrag) {
    new_pusher_at(109, 102);
    press(103, 103);
    ASSERT_NE(loop_->held, nullptr);
    key(SDLK_SPACE);
    EXPECT_EQ(loop_->held, nullptr);
    EXPECT_EQ(loop_->mode, MODE_SIMULATION);
    EXPECT_EQ(device(0)->x, 4);
    release(300, 300); // the release after the start moves nothing
    EXPECT_EQ(device(0)->x, 4);

    loop_->mode = MODE_CONSTRUCTION;
    key(SDLK_3);
    press(650 + 59, 52);
    key(SDLK_SPACE);
    EXPECT_EQ(loop_->new_device, nullptr) << "a device from the bin goes back";
    EXPECT_EQ(level_.devices.size(), 1u);
}

TEST_F(ConstructionTest, DigitKeysTurnBinPagesOnlyWhileBuilding) {
    key(SDLK_2);
    EXPECT_EQ(loop_->parts_bin.page, 1);
    key(SDLK_TAB);
    ASSERT_EQ(loop_->mode, MODE_EDITING);
    handle(mouse_event(SDL_MOUSEBUTTONDOWN, 100, 300));
    handle(mouse_event(SDL_MOUSEBUTTONUP, 100, 300));
    loop_->editor->cycle_box->setText("");
    key(SDLK_3, '3');
    key(SDLK_1, '1');
    loop_->editor->logic();
    EXPECT_EQ(loop_->parts_bin.page, 1);
    EXPECT_EQ(loop_->editor->cycle_box->getTextRow(0), "31");
}

TEST_F(ConstructionTest, LeavingTheEditorCapturesBothTexts) {
    EXPECT_EQ(loop_->editor->init_box->getTextRow(0), "-- Initialization Code Goes Here");
    press(700, 570); // the edit button
    ASSERT_EQ(loop_->mode, MODE_EDITING);
    loop_->editor->init_box->setText("a = 1\nb = 2\nc = 3");
    key(SDLK_ESCAPE);
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
    EXPECT_EQ(loop_->init_code, "a = 1\nb = 2\nc = 3\n");
    EXPECT_EQ(loop_->cycle_code, "-- Every-cycle Code Goes Here\n");
    key(SDLK_TAB);
    EXPECT_EQ(loop_->editor->init_box->getNumberOfRows(), 3u) << "the text survives the visit";
    handle(mouse_event(SDL_MOUSEBUTTONDOWN, 700, 20, SDL_BUTTON_RIGHT)); // back button, any button
    EXPECT_EQ(loop_->mode, MODE_CONSTRUCTION);
}

TEST(Placement, SnapCutsTowardZero) {
    EXPECT_EQ(snap_to_cell(-10), 0);
    EXPECT_EQ(snap_to_cell(-36), 0);
    EXPECT_EQ(snap_to_cell(-37), -1);
    EXPECT_EQ(snap_to_cell(12), 0);
    EXPECT_EQ(snap_to_cell(13), 1);
}
