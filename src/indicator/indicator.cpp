#include "indicator/indicator.h"

#include <cstring>

#include "level/level.h"

DeviceIndicator::DeviceIndicator(int x, int y, bool fixed, int red, int green, int blue)
    : Device(x, y, fixed), red(red), green(green), blue(blue), picture(load_picture("img/indicator.gif", true)) {
    kind = "indicator";
}

void DeviceIndicator::code_action(const char* verb, int, Level*) {
    if (std::strcmp(verb, "on") == 0)
        lit = true;
    else if (std::strcmp(verb, "off") == 0)
        lit = false;
}

void DeviceIndicator::draw_at(SDL_Surface* dst, int px, int py, bool labels) {
    // Full colour only for a lit lamp during a run; a quarter of it otherwise.
    int divisor = (lit && !labels) ? 1 : 4;
    fill_rect(dst, px, py, CELL_PX, CELL_PX, (red & 0xFF) / divisor, (green & 0xFF) / divisor,
              (blue & 0xFF) / divisor);
    draw_image(picture.get(), px, py, dst);
    draw_label(dst, px, py, labels);
}

void DeviceIndicator::tick(Level*) {}

bool DeviceIndicator::block_collide(int cx, int cy) { return floor_collide(cx, cy); }

bool DeviceIndicator::floor_collide(int cx, int cy) { return cx == x && cy == y; }

std::unique_ptr<Device> DeviceIndicator::copy() {
    return std::make_unique<DeviceIndicator>(x, y, fixed, red, green, blue);
}

void DeviceIndicator::give_name(int n) { set_name("indicator_%d", n); }

std::string DeviceIndicator::get_code_stub(Level*) { return on_off_stub(name); }

void DeviceIndicator::reset() { lit = false; }

bool DeviceIndicator::is_low() { return false; }

std::string DeviceIndicator::get_save_stub(Level*) {
    return format_text(SAVE_RECORD_SIZE, "d, %d, %d, %d, %d, %d, %d", x, y, number, red, green, blue);
}
