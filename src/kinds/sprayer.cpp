#include "kinds/sprayer.h"

#include <cstring>

#include "canvas/canvas.h"
#include "devices/device_kit.h"
#include "level/level.h"

const DeviceKind DeviceSprayer::KIND{'g', "sprayer", "g, %d, %d, %d, %d", "x y number direction"};

namespace {
// The body is drawn pointing up when unturned; the cloud is never turned.
const PictureFile BODY{"img/sprayer.gif"};
const PictureFile CLOUD{"img/sprayer_blue.gif"};
} // namespace

DeviceSprayer::DeviceSprayer(int x, int y, Mobility mobility, int direction)
    : Device(x, y, mobility, KIND), direction(direction) {}

// The cloud shows even over an empty cell; only a block gets the glue mark
// (and cells beyond the grids hold none).
void DeviceSprayer::code_action(const char* verb, int, Level* level) {
    if (std::strcmp(verb, "spray") != 0)
        return;
    spray_time = SPRAY_TICKS;
    FloorCell front = front_cell(x, y, direction);
    if (level->has_block(front.x, front.y))
        level->set_sticky(front.x, front.y, 1);
}

void DeviceSprayer::tick(Level*) {
    if (spray_time > 0)
        spray_time -= 1;
}

void DeviceSprayer::draw_at(Canvas& canvas, int px, int py, Phase phase) const {
    canvas.draw_turned_picture(BODY, facing_angle(direction), px, py);
    if (spray_time > 0) {
        FloorCell at = front_pixel(px, py, direction);
        canvas.draw_faded_picture(CLOUD, at.x, at.y, 128);
    }
    draw_label(canvas, px, py, phase);
}

std::unique_ptr<Device> DeviceSprayer::copy() const {
    return std::make_unique<DeviceSprayer>(x, y, mobility(), direction);
}

std::string DeviceSprayer::get_code_stub(const Level&) const {
    return format_text(CODE_STUB_SIZE, "%s = { spray = function () action('%s','spray',0) end }\n", name, name);
}

void DeviceSprayer::reset() {
    spray_time = 0;
}

std::vector<int> DeviceSprayer::record_fields() const {
    return {x, y, number, direction};
}
