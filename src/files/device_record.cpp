#include "files/device_record.h"

#include <cstdio>
#include <cstring>

#include "kinds/converter.h"
#include "kinds/conveyer.h"
#include "kinds/grabber.h"
#include "kinds/indicator.h"
#include "kinds/pusher.h"
#include "kinds/sensor.h"
#include "kinds/sprayer.h"

namespace {

// How many numbers a record format reads.
int record_field_count(const char* record) {
    int count = 0;
    for (const char* at = std::strstr(record, "%d"); at != nullptr; at = std::strstr(at + 2, "%d"))
        ++count;
    return count;
}

using Fields = int[RECORD_FIELDS_MAX];

// Block types are characters: only the low eight bits count.
unsigned char type_of(int field) { return static_cast<unsigned char>(field); }

// One kind: its record, and the device a record's fields make (null for a
// length or period far beyond any floor; x and y are checked for every kind).
struct KindRow {
    const DeviceKind& kind;
    std::unique_ptr<Device> (*make)(const Fields& f);
};

const KindRow KINDS[] = {
    {DeviceConverter::KIND,
     [](const Fields& f) -> std::unique_ptr<Device> {
         return std::make_unique<DeviceConverter>(f[0], f[1], Mobility::movable, type_of(f[2]), type_of(f[3]));
     }},
    {DeviceConveyer::KIND,
     [](const Fields& f) -> std::unique_ptr<Device> {
         if (!file_values_ok({f[2], f[4]}))
             return nullptr;
         return std::make_unique<DeviceConveyer>(f[0], f[1], Mobility::movable, f[2], f[3], f[4]);
     }},
    {DeviceGrabber::KIND,
     [](const Fields& f) -> std::unique_ptr<Device> {
         if (!file_values_ok({f[3]}))
             return nullptr;
         // Only 1 means a claw on the left; anything else puts it on the right.
         return std::make_unique<DeviceGrabber>(f[0], f[1], Mobility::movable, f[3],
                                                f[4] == 1 ? ClawSide::left : ClawSide::right);
     }},
    {DeviceIndicator::KIND,
     [](const Fields& f) -> std::unique_ptr<Device> {
         return std::make_unique<DeviceIndicator>(f[0], f[1], Mobility::movable, f[3], f[4], f[5]);
     }},
    {DevicePusher::KIND,
     [](const Fields& f) -> std::unique_ptr<Device> {
         return std::make_unique<DevicePusher>(f[0], f[1], Mobility::movable, f[3]);
     }},
    {DeviceSensor::KIND,
     [](const Fields& f) -> std::unique_ptr<Device> {
         return std::make_unique<DeviceSensor>(f[0], f[1], Mobility::movable, f[3]);
     }},
    {DeviceSprayer::KIND,
     [](const Fields& f) -> std::unique_ptr<Device> {
         return std::make_unique<DeviceSprayer>(f[0], f[1], Mobility::movable, f[3]);
     }},
};

} // namespace

std::unique_ptr<Device> device_from_stub(const char* line) {
    for (const KindRow& row : KINDS) {
        if (line[0] != row.kind.letter)
            continue;
        Fields f = {};
        int read = std::sscanf(line, row.kind.record, &f[0], &f[1], &f[2], &f[3], &f[4], &f[5]);
        if (read != record_field_count(row.kind.record) || !file_values_ok({f[0], f[1]}))
            return nullptr;
        std::unique_ptr<Device> device = row.make(f);
        if (!device || !device->kind.takes_name())
            return device;
        // Lua names carry the number: "pusher_-1" would be no name at all.
        if (f[2] < 0)
            return nullptr;
        device->give_name(f[2]);
        return device;
    }
    return nullptr;
}
