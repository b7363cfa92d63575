// Device save records: every kind written and read back, and the lines the
// reader refuses. (Each device's own test pins the exact line it writes.)
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "files/device_record.h"
#include "level/level.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"
#include "sprayer/sprayer.h"

namespace {
// What a record must bring back besides its own fields.
std::string identity(Device& d) {
    return std::string(d.name) + " #" + std::to_string(d.number) + (d.fixed ? " fixed" : " free");
}
} // namespace

TEST(DeviceRecord, EveryKindReadsBackEqual) {
    Level level;
    std::vector<std::unique_ptr<Device>> originals;
    originals.push_back(std::make_unique<DeviceConverter>(3, 4, false, 'R', 'G', &level));
    originals.push_back(std::make_unique<DeviceConveyer>(0, 21, false, 7, 3, 12));
    originals.push_back(std::make_unique<DeviceGrabber>(10, 2, false, 6, true));
    originals.push_back(std::make_unique<DeviceGrabber>(11, 2, false, 3, false));
    originals.push_back(std::make_unique<DeviceIndicator>(5, 5, false, 255, 128, 0));
    originals.push_back(std::make_unique<DevicePusher>(12, 7, false, 3));
    originals.push_back(std::make_unique<DeviceSensor>(25, 0, false, 2));
    originals.push_back(std::make_unique<DeviceSprayer>(1, 20, false, 0));
    int number = 2;
    for (auto& original : originals) {
        original->give_name(number++); // belts and converters carry no name
        std::string record = original->get_save_stub(&level);
        std::unique_ptr<Device> loaded = device_from_stub(record.c_str(), &level);
        ASSERT_NE(loaded, nullptr) << record;
        EXPECT_EQ(loaded->get_save_stub(&level), record) << "the same kind with the same fields";
        EXPECT_EQ(identity(*loaded), identity(*original)) << record;
    }
}

TEST(DeviceRecord, GrabberClawIsLeftOnlyForOneAndBlanksAfterCommasAreAccepted) {
    Level level;
    for (auto [line, left] : {std::pair{"c, 1, 1, 0, 4, 2", false}, std::pair{"c, 1, 1, 0, 4, 0", false},
                              std::pair{"c, 1, 1, 0, 4, -1", false}, std::pair{"c,  1,\t1,\n 0, 4, 1", true}}) {
        auto grabber = device_from_stub(line, &level);
        ASSERT_NE(grabber, nullptr) << line;
        EXPECT_EQ(static_cast<DeviceGrabber*>(grabber.get())->faces_left, left) << line;
    }
    auto sensor = device_from_stub("f,   3,\t4,  5,\n 1", &level);
    ASSERT_NE(sensor, nullptr);
    EXPECT_EQ(sensor->get_save_stub(&level), "f, 3, 4, 5, 1");
    EXPECT_EQ(identity(*sensor), "sensor_5 #5 free");
}

TEST(DeviceRecord, LinesThatAreNoRecordAreRefused) {
    Level level;
    const char* refused[] = {
        "",                        // nothing
        "E, 12, 7, 1, 3",          // upper-case letter
        "5, 12, 7, 1, 3",          // digit
        "h, 1, 2, 3, 4",           // letter past g
        " e, 12, 7, 1, 3",         // blank before the letter
        "e, 12, 7, 1",             // a field missing
        "e, 12 7, 1, 3",           // a comma missing ends the scan early
        "e, 12, seven, 1, 3",      // a field that is no number
        "a, 1, 2, 82, 71",         // the literal 0 missing
        "a, 1, 2, 1, 82, 71",      // something else in its place
        "b, 1, 2, 0, 5, 1",        // a belt without its period
        "c, 1, 1, 0, 4",           // a grabber without its side
        "d, 1, 1, 0, 10, 20",      // a lamp without blue
        "g",                       // the letter alone
        "c, 1, 1, 0, 99999, 1",    // a track far longer than any floor
        "e, -2000000000, 1, 0, 1", // an anchor far off any floor
    };
    for (const char* line : refused)
        EXPECT_EQ(device_from_stub(line, &level), nullptr) << '"' << line << '"';
}
