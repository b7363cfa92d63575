// Device save records: every kind written and read back, and the lines the
// reader refuses.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "level/device_record.h"
#include "level/level.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"
#include "sprayer/sprayer.h"

namespace {

// Everything a record carries: class, constructor arguments, name, number.
std::string describe(Device* d) {
    std::string common = std::to_string(d->x) + "," + std::to_string(d->y) + (d->fixed ? ",fixed" : ",free") +
                         " name=" + d->name + " number=" + std::to_string(d->number);
    if (auto* c = dynamic_cast<DeviceConverter*>(d))
        return "converter " + common + " " + std::to_string(c->from_type) + ">" + std::to_string(c->to_type);
    if (auto* b = dynamic_cast<DeviceConveyer*>(d))
        return "belt " + common + " " + std::to_string(b->length) + "/" + std::to_string(b->direction) + "/" +
               std::to_string(b->period);
    if (auto* g = dynamic_cast<DeviceGrabber*>(d))
        return "grabber " + common + " " + std::to_string(g->length) + (g->faces_left ? " left" : " right");
    if (auto* i = dynamic_cast<DeviceIndicator*>(d))
        return "lamp " + common + " " + std::to_string(i->red) + "/" + std::to_string(i->green) + "/" +
               std::to_string(i->blue);
    if (auto* p = dynamic_cast<DevicePusher*>(d))
        return "pusher " + common + " " + std::to_string(p->direction);
    if (auto* s = dynamic_cast<DeviceSensor*>(d))
        return "sensor " + common + " " + std::to_string(s->direction);
    if (auto* s = dynamic_cast<DeviceSprayer*>(d))
        return "sprayer " + common + " " + std::to_string(s->direction);
    return "unknown";
}

std::unique_ptr<Device> named(std::unique_ptr<Device> device, int number) {
    device->give_name(number);
    return device;
}

} // namespace

TEST(DeviceRecord, EveryKindReadsBackEqual) {
    Level level;
    std::vector<std::unique_ptr<Device>> originals;
    originals.push_back(std::make_unique<DeviceConverter>(3, 4, false, 'R', 'G', &level));
    originals.push_back(std::make_unique<DeviceConveyer>(0, 21, false, 7, 3, 12));
    originals.push_back(named(std::make_unique<DeviceGrabber>(10, 2, false, 6, true), 2));
    originals.push_back(named(std::make_unique<DeviceGrabber>(11, 2, false, 3, false), 0));
    originals.push_back(named(std::make_unique<DeviceIndicator>(5, 5, false, 255, 128, 0), 7));
    originals.push_back(named(std::make_unique<DevicePusher>(12, 7, false, 3), 1));
    originals.push_back(named(std::make_unique<DeviceSensor>(25, 0, false, 2), 4));
    originals.push_back(named(std::make_unique<DeviceSprayer>(1, 20, false, 0), 3));
    for (auto& original : originals) {
        std::string record = original->get_save_stub(&level);
        std::unique_ptr<Device> loaded = device_from_stub(record.c_str(), &level);
        ASSERT_NE(loaded, nullptr) << record;
        EXPECT_EQ(describe(loaded.get()), describe(original.get())) << record;
    }
}

TEST(DeviceRecord, WrittenLinesMatchTheFormat) {
    Level level;
    DevicePusher pusher(12, 7, false, 3);
    pusher.give_name(1);
    EXPECT_EQ(pusher.get_save_stub(&level), "e, 12, 7, 1, 3");
    EXPECT_EQ(DeviceConverter(1, 2, false, 'R', 'U', &level).get_save_stub(&level), "a, 1, 2, 0, 82, 85");
    EXPECT_EQ(DeviceConveyer(1, 2, true, 5, 1, 10).get_save_stub(&level), "b, 1, 2, 0, 5, 1, 10");
    DeviceGrabber grabber(4, 5, false, 6, true);
    grabber.give_name(2);
    EXPECT_EQ(grabber.get_save_stub(&level), "c, 4, 5, 2, 6, 1");
    DeviceIndicator lamp(1, 1, false, 10, 20, 30);
    lamp.give_name(0);
    EXPECT_EQ(lamp.get_save_stub(&level), "d, 1, 1, 0, 10, 20, 30");
}

TEST(DeviceRecord, NamesComeFromTheSavedNumber) {
    Level level;
    auto pusher = device_from_stub("e, 12, 7, 1, 3", &level);
    ASSERT_NE(pusher, nullptr);
    EXPECT_STREQ(pusher->name, "pusher_1");
    auto lamp = device_from_stub("d, 1, 1, 9, 1, 2, 3", &level);
    ASSERT_NE(lamp, nullptr);
    EXPECT_STREQ(lamp->name, "indicator_9");
    auto belt = device_from_stub("b, 1, 2, 0, 5, 1, 10", &level);
    ASSERT_NE(belt, nullptr);
    EXPECT_STREQ(belt->name, "") << "belts carry no name";
    EXPECT_FALSE(belt->fixed) << "a saved belt is the player's";
}

TEST(DeviceRecord, GrabberClawIsLeftOnlyForOne) {
    Level level;
    for (const char* right : {"c, 1, 1, 0, 4, 2", "c, 1, 1, 0, 4, 0", "c, 1, 1, 0, 4, -1"}) {
        auto grabber = device_from_stub(right, &level);
        ASSERT_NE(grabber, nullptr) << right;
        EXPECT_FALSE(static_cast<DeviceGrabber*>(grabber.get())->faces_left) << right;
    }
    auto left = device_from_stub("c, 1, 1, 0, 4, 1", &level);
    ASSERT_NE(left, nullptr);
    EXPECT_TRUE(static_cast<DeviceGrabber*>(left.get())->faces_left);
}

TEST(DeviceRecord, ExtraBlanksAfterCommasAreAccepted) {
    Level level;
    auto sensor = device_from_stub("f,   3,\t4,  5,\n 1", &level);
    ASSERT_NE(sensor, nullptr);
    EXPECT_EQ(describe(sensor.get()), "sensor 3,4,free name=sensor_5 number=5 1");
    auto converter = device_from_stub("a,  2, 3,  0,  300,  71", &level);
    ASSERT_NE(converter, nullptr);
    EXPECT_EQ(static_cast<DeviceConverter*>(converter.get())->from_type, 300 & 0xFF) << "low eight bits";
}

TEST(DeviceRecord, LinesThatAreNoRecordAreRefused) {
    Level level;
    const char* refused[] = {
        "",                      // nothing
        "E, 12, 7, 1, 3",        // upper-case letter
        "5, 12, 7, 1, 3",        // digit
        "h, 1, 2, 3, 4",         // letter past g
        " e, 12, 7, 1, 3",       // blank before the letter
        "e, 12, 7, 1",           // a field missing
        "e, 12 7, 1, 3",         // a comma missing ends the scan early
        "e, 12, seven, 1, 3",    // a field that is no number
        "a, 1, 2, 82, 71",       // the literal 0 missing
        "a, 1, 2, 1, 82, 71",    // something else in its place
        "b, 1, 2, 0, 5, 1",      // a belt without its period
        "c, 1, 1, 0, 4",         // a grabber without its side
        "d, 1, 1, 0, 10, 20",    // a lamp without blue
        "g",                     // the letter alone
        "c, 1, 1, 0, 99999, 1",  // a track far longer than any floor
        "e, -2000000000, 1, 0, 1", // an anchor far off any floor
    };
    for (const char* line : refused)
        EXPECT_EQ(device_from_stub(line, &level), nullptr) << '"' << line << '"';
}
