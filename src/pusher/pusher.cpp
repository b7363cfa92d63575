#include "pusher/pusher.h"

#include <cstring>

#include "level/level.h"

DevicePusher::DevicePusher(int x, int y, bool fixed, int direction)
    : Device(x, y, fixed), direction(direction), body(load_picture("img/pusher.gif", false)),
      rod(load_picture("img/pusher_rod.gif", true)) {
    kind = "pusher";
}

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
    if (std::strcmp(verb, "on") == 0)
        on = true;
    else if (std::strcmp(verb, "off") == 0)
        on = false;
}

void DevicePusher::draw_at(SDL_Surface* dst, int px, int py, bool labels) {
    draw_image_rotated(body.get(), facing_angle(direction), px, py, dst);
    if (extended) {
        FloorCell at = front_pixel(px, py, direction);
        draw_image_rotated(rod.get(), facing_angle(direction), at.x, at.y, dst);
    }
    draw_label(dst, px, py, labels);
}

bool DevicePusher::block_collide(int cx, int cy) {
    if (cx == x && cy == y)
        return true;
    FloorCell front = front_cell(x, y, direction);
    return extended && cx == front.x && cy == front.y;
}

bool DevicePusher::floor_collide(int cx, int cy) { return cx == x && cy == y; }

std::unique_ptr<Device> DevicePusher::copy() { return std::make_unique<DevicePusher>(x, y, fixed, direction); }

void DevicePusher::give_name(int n) { set_name("pusher_%d", n); }

std::string DevicePusher::get_code_stub(Level*) { return on_off_stub(name); }

void DevicePusher::reset() {
    on = false;
    extended = false;
}

bool DevicePusher::is_low() { return false; }

std::string DevicePusher::get_save_stub(Level*) {
    return format_text(SAVE_RECORD_SIZE, "e, %d, %d, %d, %d", x, y, number, direction);
}
