#include "kinds/sensor.h"

#include "canvas/canvas.h"

#include "devices/device_kit.h"
#include "level/level.h"

const DeviceKind DeviceSensor::KIND{'f', "sensor", "f, %d, %d, %d, %d", "x y number direction"};

namespace {
// The body is never turned; the beam is drawn faded over the front cell.
const PictureFile BODY{"img/sensor.gif"};
const PictureFile BEAM{"img/sensor_red.gif"};
} // namespace

DeviceSensor::DeviceSensor(int x, int y, Mobility mobility, int direction)
    : Device(x, y, mobility, KIND), direction(direction) {}

// A front cell beyond the grids reads as empty.
std::string DeviceSensor::get_code_stub(const Level& level) const {
    FloorCell front = front_cell(x, y, direction);
    const char* seen = level.has_block(front.x, front.y) ? "true" : "false";
    return format_text(CODE_STUB_SIZE, "%s = { read = function () return %s end }\n", name, seen);
}

void DeviceSensor::draw_at(Canvas& canvas, int px, int py, Phase phase) const {
    canvas.draw_picture(BODY, px, py);
    FloorCell at = front_pixel(px, py, direction);
    canvas.draw_faded_picture(BEAM, at.x, at.y, 128);
    draw_label(canvas, px, py, phase);
}

std::unique_ptr<Device> DeviceSensor::copy() const {
    return std::make_unique<DeviceSensor>(x, y, mobility(), direction);
}

std::vector<int> DeviceSensor::record_fields() const {
    return {x, y, number, direction};
}
