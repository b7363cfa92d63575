#include "indicator/indicator.h"

#include <cstring>

#include "devices/device_kit.h"
#include "toolkit/pictures.h"
#include "toolkit/toolkit.h"

const DeviceKind DeviceIndicator::KIND{'d', "indicator", "d, %d, %d, %d, %d, %d, %d", "x y number red green blue"};

namespace {
// The lamp's frame, magenta-keyed, drawn over the colour.
const char* const FRAME = "img/indicator.gif";
} // namespace

DeviceIndicator::DeviceIndicator(int x, int y, bool fixed, int red, int green, int blue)
    : Device(x, y, fixed, KIND), red(red), green(green), blue(blue) {}

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
    draw_image(cached_picture(FRAME, true), px, py, dst);
    draw_label(dst, px, py, labels);
}

std::unique_ptr<Device> DeviceIndicator::copy() {
    return std::make_unique<DeviceIndicator>(x, y, fixed, red, green, blue);
}

std::string DeviceIndicator::get_code_stub(Level*) { return on_off_stub(name); }

void DeviceIndicator::reset() { lit = false; }

std::vector<int> DeviceIndicator::record_fields() const { return {x, y, number, red, green, blue}; }
