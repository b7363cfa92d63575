#include "sensor/sensor.h"

#include "devices/device_kit.h"
#include "level/level.h"
#include "toolkit/pictures.h"
#include "toolkit/toolkit.h"

const DeviceKind DeviceSensor::KIND{'f', "sensor", "f, %d, %d, %d, %d", "x y number direction"};

namespace {
// The body is never turned; the beam is drawn faded over the front cell.
const char* const BODY = "img/sensor.gif";
const char* const BEAM = "img/sensor_red.gif";
} // namespace

DeviceSensor::DeviceSensor(int x, int y, bool fixed, int direction) : Device(x, y, fixed, KIND), direction(direction) {}

// A front cell beyond the grids reads as empty.
std::string DeviceSensor::get_code_stub(Level* level) {
    FloorCell front = front_cell(x, y, direction);
    const char* seen = level->has_block(front.x, front.y) ? "true" : "false";
    return format_text(CODE_STUB_SIZE, "%s = { read = function () return %s end }\n", name, seen);
}

void DeviceSensor::draw_at(SDL_Surface* dst, int px, int py, bool labels) {
    draw_image(cached_picture(BODY, false), px, py, dst);
    FloorCell at = front_pixel(px, py, direction);
    draw_image_fade(cached_picture(BEAM, false), at.x, at.y, dst, 128);
    draw_label(dst, px, py, labels);
}

std::unique_ptr<Device> DeviceSensor::copy() { return std::make_unique<DeviceSensor>(x, y, fixed, direction); }

std::vector<int> DeviceSensor::record_fields() const { return {x, y, number, direction}; }
