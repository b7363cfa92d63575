#include "grabber/grabber.h"

#include <cstring>

#include "level/level.h"

DeviceGrabber::DeviceGrabber(int x, int y, bool fixed, int length, bool faces_left)
    : Device(x, y, fixed), length(length), top(load_picture("img/grabber_top.gif", true)),
      middle(load_picture("img/grabber_mid.gif", true)),
      bottom(load_picture("img/grabber_bot.gif", true)), claw(load_picture("img/grabber_claw.gif", true)),
      claw_closed(load_picture("img/grabber_claw_x.gif", true)), faces_left(faces_left) {
    kind = "grabber";
}

FloorCell DeviceGrabber::claw_cell() const { return {faces_left ? x - 1 : x + 1, y + position}; }

void DeviceGrabber::code_action(const char* verb, int arg, Level* level) {
    FloorCell at = claw_cell();
    // Cells beyond the grids hold no block, so a claw there never closes.
    if (std::strcmp(verb, "grab") == 0 && !holding && level->has_block(at.x, at.y)) {
        holding = true;
        level->set_held(at.x, at.y, 1);
    }
    if (std::strcmp(verb, "release") == 0 && holding) {
        holding = false;
        if (!shares_hold(level))
            level->set_held(at.x, at.y, 0);
    }
    if (std::strcmp(verb, "move_to") == 0)
        target = arg;
}

// The claw moves at most one row on every even tick; the track's ends keep it
// in range whatever the target.
void DeviceGrabber::tick(Level* level) {
    if (level->ticks % 2 != 0)
        return;
    if (position < target && position < length - 1) {
        if (holding)
            carry(level, 1);
        else
            position += 1;
    }
    if (position > target && position > 0) {
        if (holding)
            carry(level, -1);
        else
            position -= 1;
    }
}

// Lifts the hold for the push so the group may move, follows it when it did,
// and holds the claw cell again either way. A chain that cannot move makes
// the claw wait for the next even tick; so does a block that another claw
// holds too (both claws share the cell's one hold mark).
void DeviceGrabber::carry(Level* level, int dy) {
    FloorCell at = claw_cell();
    if (shares_hold(level))
        return;
    level->set_held(at.x, at.y, 0);
    if (level->push_block(at.x, at.y, 0, dy))
        position += dy;
    at = claw_cell();
    level->set_held(at.x, at.y, 1);
}

bool DeviceGrabber::shares_hold(Level* level) const {
    FloorCell at = claw_cell();
    for (auto& device : level->devices) {
        auto* other = dynamic_cast<DeviceGrabber*>(device.get());
        if (other && other != this && other->holding) {
            FloorCell theirs = other->claw_cell();
            if (theirs.x == at.x && theirs.y == at.y)
                return true;
        }
    }
    return false;
}

void DeviceGrabber::draw_at(SDL_Surface* dst, int px, int py, bool labels) {
    if (length > 0) {
        draw_track(dst, px, py);
        draw_text_int_center(0, 10, 0, 0, 0, px + 12, py + 8, dst);
        draw_text_int_center(length - 1, 10, 0, 0, 0, px + 12, py + CELL_PX * length - 8, dst);
    }
    SDL_Surface* hand = holding ? claw_closed.get() : claw.get();
    int hand_x = faces_left ? px - CELL_PX : px + CELL_PX;
    draw_image_rotated(hand, faces_left ? 0 : 180, hand_x, py + CELL_PX * position, dst);
    draw_label(dst, px, py, labels);
}

// With the claw on the right the whole strip is turned half a turn, so the
// bottom picture heads the track.
void DeviceGrabber::draw_track(SDL_Surface* dst, int px, int py) {
    int angle = faces_left ? 0 : 180;
    SDL_Surface* head = faces_left ? top.get() : bottom.get();
    SDL_Surface* tail = faces_left ? bottom.get() : top.get();
    draw_image_rotated(head, angle, px, py, dst);
    for (int i = 1; i < length - 1; ++i)
        draw_image_rotated(middle.get(), angle, px, py + CELL_PX * i, dst);
    draw_image_rotated(tail, angle, px, py + CELL_PX * (length - 1), dst);
}

bool DeviceGrabber::block_collide(int cx, int cy) { return floor_collide(cx, cy); }

bool DeviceGrabber::floor_collide(int cx, int cy) { return cx == x && cy >= y && cy - y < length; }

std::unique_ptr<Device> DeviceGrabber::copy() {
    return std::make_unique<DeviceGrabber>(x, y, fixed, length, faces_left);
}

void DeviceGrabber::give_name(int n) { set_name("grabber_%d", n); }

std::string DeviceGrabber::get_code_stub(Level*) {
    return format_text(GRABBER_STUB_SIZE,
                       "%s = { grab = function () action('%s','grab',0) end, release = function () "
                       "action('%s','release',0) end, move_to = function (x) action('%s','move_to',x) end, read = "
                       "function () return %d end }\n",
                       name, name, name, name, position);
}

void DeviceGrabber::reset() {
    position = 0;
    target = 0;
    holding = false;
}

bool DeviceGrabber::is_low() { return false; }

std::string DeviceGrabber::get_save_stub(Level*) {
    return format_text(SAVE_RECORD_SIZE, "c, %d, %d, %d, %d, %d", x, y, number, length, faces_left ? 1 : 0);
}
