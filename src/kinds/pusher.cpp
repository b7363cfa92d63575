#include "kinds/pusher.h"


#include "canvas/canvas.h"
#include "devices/device_kit.h"
#include "level/level.h"

const DeviceKind DevicePusher::KIND{'e', "pusher", "e, %d, %d, %d, %d", "x y number direction"};

namespace {
// Both drawn pointing up when unturned.
const PictureFile BODY{"img/pusher.gif"};
const PictureFile ROD{"img/pusher_rod.gif", Magenta::see_through};
} // namespace

DevicePusher::DevicePusher(int x, int y, Mobility mobility, int direction)
    : Device(x, y, mobility, KIND), direction(direction) {}

// Retract first, then extend: a rod goes out only from the retracted state,
// so pushing again takes at least one tick switched off. A push that fails
// (blocked, held, or a cell beyond the grids) leaves the rod in to retry.
void DevicePusher::tick(Level* level) {
    if (extended && !on)
        extended = false;
    if (!extended && on) {
        FloorCell front = front_cell(x, y, direction);
        Step step = direction_step(direction);
        extended = level->push_block(front.x, front.y, step.dx, step.dy);
    }
}

void DevicePusher::code_action(const char* verb, int, Level*) {
    apply_switch(verb, on);
}

void DevicePusher::draw_at(Canvas& canvas, int px, int py, Phase phase) const {
    canvas.draw_turned_picture(BODY, facing_angle(direction), px, py);
    if (extended) {
        FloorCell at = front_pixel(px, py, direction);
        canvas.draw_turned_picture(ROD, facing_angle(direction), at.x, at.y);
    }
    draw_label(canvas, px, py, phase);
}

bool DevicePusher::block_collide(int cx, int cy) const {
    if (cx == x && cy == y)
        return true;
    FloorCell front = front_cell(x, y, direction);
    return extended && cx == front.x && cy == front.y;
}

std::unique_ptr<Device> DevicePusher::copy() const {
    return std::make_unique<DevicePusher>(x, y, mobility(), direction);
}

std::string DevicePusher::get_code_stub(const Level&) const {
    return on_off_stub(name);
}

void DevicePusher::reset() {
    on = false;
    extended = false;
}

std::vector<int> DevicePusher::record_fields() const {
    return {x, y, number, direction};
}
