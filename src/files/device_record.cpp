#include "files/device_record.h"

#include <cstdio>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"
#include "sprayer/sprayer.h"

namespace {

// The records of pushers, sensors and sprayers: x, y, number, direction.
template <class T> std::unique_ptr<Device> facing_device(const char* line, const char* format) {
    int x, y, number, direction;
    if (std::sscanf(line, format, &x, &y, &number, &direction) != 4 || !file_values_ok({x, y}))
        return nullptr;
    auto device = std::make_unique<T>(x, y, false, direction);
    device->give_name(number);
    return device;
}

std::unique_ptr<Device> converter_from(const char* line, Level* level) {
    int x, y, from, to;
    if (std::sscanf(line, "a, %d, %d, 0, %d, %d", &x, &y, &from, &to) != 4 || !file_values_ok({x, y}))
        return nullptr;
    // Block types are characters: only the low eight bits count.
    return std::make_unique<DeviceConverter>(x, y, false, static_cast<unsigned char>(from),
                                             static_cast<unsigned char>(to), level);
}

std::unique_ptr<Device> conveyer_from(const char* line) {
    int x, y, length, direction, period;
    if (std::sscanf(line, "b, %d, %d, 0, %d, %d, %d", &x, &y, &length, &direction, &period) != 5 ||
        !file_values_ok({x, y, length, period}))
        return nullptr;
    return std::make_unique<DeviceConveyer>(x, y, false, length, direction, period);
}

std::unique_ptr<Device> grabber_from(const char* line) {
    int x, y, number, length, faces_left;
    if (std::sscanf(line, "c, %d, %d, %d, %d, %d", &x, &y, &number, &length, &faces_left) != 5 ||
        !file_values_ok({x, y, length}))
        return nullptr;
    // Only 1 means a claw on the left; anything else puts it on the right.
    auto device = std::make_unique<DeviceGrabber>(x, y, false, length, faces_left == 1);
    device->give_name(number);
    return device;
}

std::unique_ptr<Device> indicator_from(const char* line) {
    int x, y, number, red, green, blue;
    if (std::sscanf(line, "d, %d, %d, %d, %d, %d, %d", &x, &y, &number, &red, &green, &blue) != 6 ||
        !file_values_ok({x, y}))
        return nullptr;
    auto device = std::make_unique<DeviceIndicator>(x, y, false, red, green, blue);
    device->give_name(number);
    return device;
}

} // namespace

std::unique_ptr<Device> device_from_stub(const char* line, Level* level) {
    switch (line[0]) {
    case 'a': return converter_from(line, level);
    case 'b': return conveyer_from(line);
    case 'c': return grabber_from(line);
    case 'd': return indicator_from(line);
    case 'e': return facing_device<DevicePusher>(line, "e, %d, %d, %d, %d");
    case 'f': return facing_device<DeviceSensor>(line, "f, %d, %d, %d, %d");
    case 'g': return facing_device<DeviceSprayer>(line, "g, %d, %d, %d, %d");
    default: return nullptr;
    }
}
