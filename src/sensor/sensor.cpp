#include "sensor/sensor.h"

#include "level/level.h"

DeviceSensor::DeviceSensor(int x, int y, bool fixed, int direction)
    : Device(x, y, fixed), body(load_picture("img/sensor.gif", false)),
      beam(load_picture("img/sensor_red.gif", false)), direction(direction) {
    kind = "sensor";
}

// A front cell beyond the grids reads as empty.
std::string DeviceSensor::get_code_stub(Level* level) {
    FloorCell front = front_cell(x, y, direction);
    const char* seen = level->has_block(front.x, front.y) ? "true" : "false";
    return format_text(CODE_STUB_SIZE, "%s = { read = function () return %s end }\n", name, seen);
}

void DeviceSensor::draw_at(SDL_Surface* dst, int px, int py, bool labels) {
    draw_image(body.get(), px, py, dst);
    FloorCell at = front_pixel(px, py, direction);
    draw_image_fade(beam.get(), at.x, at.y, dst, 128);
    draw_label(dst, px, py, labels);
}

void DeviceSensor::tick(Level*) {}

void DeviceSensor::code_action(const char*, int, Level*) {}

bool DeviceSensor::block_collide(int cx, int cy) { return floor_collide(cx, cy); }

bool DeviceSensor::floor_collide(int cx, int cy) { return cx == x && cy == y; }

std::unique_ptr<Device> DeviceSensor::copy() { return std::make_unique<DeviceSensor>(x, y, fixed, direction); }

void DeviceSensor::give_name(int n) { set_name("sensor_%d", n); }

void DeviceSensor::reset() {}

bool DeviceSensor::is_low() { return false; }

std::string DeviceSensor::get_save_stub(Level*) {
    return format_text(SAVE_RECORD_SIZE, "f, %d, %d, %d, %d", x, y, number, direction);
}
