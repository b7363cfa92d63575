// The parts bin: its buttons, settings, pages and the devices it hands out.
#include <gtest/gtest.h>

#include "conveyer/conveyer.h"
#include "device_test_util.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "partsbin/parts_bin.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"
#include "sprayer/sprayer.h"

namespace {
std::unique_ptr<DeviceConveyer> take_conveyer(PartsBin& bin) {
    std::unique_ptr<Device> device = bin.click(38, 431);
    auto* conveyer = dynamic_cast<DeviceConveyer*>(device.get());
    if (conveyer == nullptr)
        return nullptr;
    device.release();
    return std::unique_ptr<DeviceConveyer>(conveyer);
}

template <class T> T* as(const std::unique_ptr<Device>& device) { return dynamic_cast<T*>(device.get()); }
} // namespace

TEST(PartsBin, HoldsTwentyEightButtonsOnThreePages) {
    PartsBin bin;
    ASSERT_EQ(bin.items.size(), 28u);
    int per_page[3] = {0, 0, 0};
    for (const auto& item : bin.items)
        ++per_page[item->page];
    EXPECT_EQ(per_page[0], 10);
    EXPECT_EQ(per_page[1], 8);
    EXPECT_EQ(per_page[2], 10);
    for (const auto& item : bin.items)
        EXPECT_EQ(item->is_setting(), item->page == 0);
}

TEST(PartsBin, FreshBinGivesAnUpwardBeltOfOneAtNormalSpeed) {
    PartsBin bin;
    auto belt = take_conveyer(bin);
    ASSERT_NE(belt, nullptr);
    EXPECT_EQ(belt->length, 1);
    EXPECT_EQ(belt->direction, DIR_UP);
    EXPECT_EQ(belt->period, 10);
    EXPECT_FALSE(belt->fixed);
    EXPECT_EQ(belt->x, 0);
    EXPECT_EQ(belt->y, 0);
}

TEST(PartsBin, SettingButtonsShapeTheNextBelt) {
    PartsBin bin;
    EXPECT_EQ(bin.click(24 + 5, 104 + 5), nullptr) << "a setting press hands out nothing";
    EXPECT_EQ(bin.direction, DIR_LEFT);
    const struct {
        int x, y, length;
    } lengths[] = {{30, 300, 1}, {92, 300, 2}, {30, 342, 4}, {92, 342, 8}};
    for (const auto& button : lengths) {
        bin.click(button.x, button.y);
        EXPECT_EQ(bin.length, button.length);
    }
    bin.click(92, 200);
    EXPECT_EQ(bin.period, 5);
    auto belt = take_conveyer(bin);
    ASSERT_NE(belt, nullptr);
    EXPECT_EQ(belt->direction, DIR_LEFT);
    EXPECT_EQ(belt->length, 8);
    EXPECT_EQ(belt->period, 5);
    bin.click(30, 200);
    EXPECT_EQ(bin.period, 10);
}

TEST(PartsBin, HitAreaIsThirtyByTwentyNinePixels) {
    PartsBin bin;
    bin.direction = DIR_LEFT;
    bin.click(59 + 30, 72);
    EXPECT_EQ(bin.direction, DIR_LEFT);
    bin.click(59, 72 + 29);
    EXPECT_EQ(bin.direction, DIR_LEFT);
    bin.click(59 + 29, 72 + 28);
    EXPECT_EQ(bin.direction, DIR_UP);
}

TEST(PartsBin, DeviceButtonsHandOutNewCopies) {
    PartsBin bin;
    bin.goto_page(1);
    auto sensor = bin.click(24, 84);
    ASSERT_NE(as<DeviceSensor>(sensor), nullptr);
    EXPECT_EQ(as<DeviceSensor>(sensor)->direction, DIR_LEFT);
    auto sprayer = bin.click(95, 208);
    ASSERT_NE(as<DeviceSprayer>(sprayer), nullptr);
    EXPECT_EQ(as<DeviceSprayer>(sprayer)->direction, DIR_RIGHT);

    bin.goto_page(2);
    auto first = bin.click(59, 84);
    auto second = bin.click(59, 84);
    ASSERT_NE(as<DevicePusher>(first), nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(as<DevicePusher>(first)->direction, DIR_DOWN);
    EXPECT_EQ(first->name[0], '\0');
    EXPECT_FALSE(first->fixed);
    for (const auto& item : bin.items)
        EXPECT_EQ(item->device == nullptr, item->is_setting()) << "prototypes stay in the bin";

    auto lamp = bin.click(92, 167);
    ASSERT_NE(as<DeviceIndicator>(lamp), nullptr);
    EXPECT_EQ(as<DeviceIndicator>(lamp)->red, 255);
    EXPECT_EQ(as<DeviceIndicator>(lamp)->green, 128);
    EXPECT_EQ(as<DeviceIndicator>(lamp)->blue, 0);
    auto right_grabber = bin.click(92, 288);
    ASSERT_NE(as<DeviceGrabber>(right_grabber), nullptr);
    EXPECT_FALSE(as<DeviceGrabber>(right_grabber)->faces_left);
    EXPECT_EQ(as<DeviceGrabber>(right_grabber)->length, 18);
    EXPECT_TRUE(as<DeviceGrabber>(bin.click(30, 288))->faces_left);
}

TEST(PartsBin, PageArrowsStopAtTheFirstAndLastPage) {
    PartsBin bin;
    bin.click(21, 516);
    EXPECT_EQ(bin.page, 0);
    bin.click(134, 529);
    EXPECT_EQ(bin.page, 1);
    bin.click(86, 516);
    EXPECT_EQ(bin.page, 2);
    bin.click(100, 520);
    EXPECT_EQ(bin.page, 2);
    bin.click(69, 529);
    EXPECT_EQ(bin.page, 1);
    bin.goto_page(5);
    EXPECT_EQ(bin.page, 1);
    bin.goto_page(-1);
    EXPECT_EQ(bin.page, 1);
}

TEST(PartsBin, BeltsComeOnlyFromTheFirstPage) {
    PartsBin bin;
    EXPECT_NE(bin.click(109, 469), nullptr);
    EXPECT_EQ(bin.click(110, 469), nullptr);
    EXPECT_EQ(bin.click(38, 430), nullptr);
    for (int page : {1, 2}) {
        bin.goto_page(page);
        EXPECT_EQ(bin.click(60, 450), nullptr);
    }
}

// Frames: lit ones are bright, unlit ones dark, each in its button's colour.
TEST(PartsBin, LightsTheChosenSettingOfEachGroup) {
    ArtDir art;
    const struct {
        const char* name;
        Rgb colour;
    } frames[] = {{"button_on_red", {255, 0, 0}},     {"button_off_red", {96, 0, 0}},
                  {"button_on_green", {0, 255, 0}},   {"button_off_green", {0, 96, 0}},
                  {"button_on_blue", {0, 0, 255}},    {"button_off_blue", {0, 0, 96}},
                  {"button_on_orange", {255, 128, 0}}, {"button_off_orange", {96, 48, 0}}};
    for (const auto& frame : frames)
        art.picture(std::string(frame.name) + ".gif", frame.colour);
    auto inside = art.enter();
    PartsBin bin;
    SurfacePtr screen = make_surface(800, 600);

    bin.click(24, 104); // left
    bin.draw(screen.get());
    EXPECT_TRUE(pixel_is(screen.get(), 650 + 24 + 2, 104 + 2, {255, 0, 0})) << "left lit";
    EXPECT_TRUE(pixel_is(screen.get(), 650 + 59 + 2, 72 + 2, {0, 0, 96})) << "up unlit";
    EXPECT_TRUE(pixel_is(screen.get(), 650 + 59 + 2, 104 + 2, {0, 96, 0})) << "down unlit";
    EXPECT_TRUE(pixel_is(screen.get(), 650 + 95 + 2, 104 + 2, {96, 48, 0})) << "right unlit";
    EXPECT_TRUE(pixel_is(screen.get(), 650 + 30 + 2, 200 + 2, {255, 0, 0})) << "normal speed lit";
    EXPECT_TRUE(pixel_is(screen.get(), 650 + 30 + 2, 300 + 2, {0, 0, 255})) << "length one lit";

    bin.goto_page(2);
    bin.draw(screen.get());
    EXPECT_TRUE(pixel_is(screen.get(), 650 + 30 + 2, 167 + 2, {0, 0, 96})) << "device buttons are never lit";
}
