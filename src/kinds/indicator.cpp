#include "kinds/indicator.h"


#include "canvas/canvas.h"
#include "devices/device_kit.h"

const DeviceKind DeviceIndicator::KIND{'d', "indicator", "d, %d, %d, %d, %d, %d, %d", "x y number red green blue"};

namespace {
// The lamp's frame, drawn over the colour.
const PictureFile FRAME{"img/indicator.gif", Magenta::see_through};
} // namespace

DeviceIndicator::DeviceIndicator(int x, int y, Mobility mobility, int red, int green, int blue)
    : Device(x, y, mobility, KIND), red(red), green(green), blue(blue) {}

void DeviceIndicator::code_action(const char* verb, int, Level*) {
    apply_switch(verb, lit);
}

void DeviceIndicator::draw_at(Canvas& canvas, int px, int py, Phase phase) const {
    // Full colour only for a lit lamp during a run; a quarter of it otherwise.
    int divisor = (lit && phase == Phase::running) ? 1 : 4;
    canvas.fill({px, py, CELL_PX, CELL_PX},
                {(red & 0xFF) / divisor, (green & 0xFF) / divisor, (blue & 0xFF) / divisor});
    canvas.draw_picture(FRAME, px, py);
    draw_label(canvas, px, py, phase);
}

std::unique_ptr<Device> DeviceIndicator::copy() const {
    return std::make_unique<DeviceIndicator>(x, y, mobility(), red, green, blue);
}

std::string DeviceIndicator::get_code_stub(const Level&) const {
    return on_off_stub(name);
}

void DeviceIndicator::reset() {
    lit = false;
}

std::vector<int> DeviceIndicator::record_fields() const {
    return {x, y, number, red, green, blue};
}
