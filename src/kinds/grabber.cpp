#include "kinds/grabber.h"

#include <cstring>

#include "canvas/canvas.h"
#include "devices/device_kit.h"
#include "level/level.h"

const DeviceKind DeviceGrabber::KIND{'c', "grabber", "c, %d, %d, %d, %d, %d", "x y number length left"};

namespace {
// Drawn as they are for a claw on the left.
const PictureFile TOP{"img/grabber_top.gif", Magenta::see_through};
const PictureFile MIDDLE{"img/grabber_mid.gif", Magenta::see_through};
const PictureFile BOTTOM{"img/grabber_bot.gif", Magenta::see_through};
const PictureFile CLAW{"img/grabber_claw.gif", Magenta::see_through};
const PictureFile CLAW_CLOSED{"img/grabber_claw_x.gif", Magenta::see_through};
constexpr Colour ROW_NUMBERS{0, 0, 0};
} // namespace

DeviceGrabber::DeviceGrabber(int x, int y, Mobility mobility, int length, ClawSide side)
    : Device(x, y, mobility, KIND), length(length), faces_left(side == ClawSide::left) {}

FloorCell DeviceGrabber::claw_cell() const {
    return {faces_left ? x - 1 : x + 1, y + position};
}

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
// the claw wait for the next even tick. A block that two claws hold shares
// one hold mark, so the claw that moves carries it; the other is left
// holding an empty cell.
void DeviceGrabber::carry(Level* level, int dy) {
    FloorCell at = claw_cell();
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

void DeviceGrabber::draw_at(Canvas& canvas, int px, int py, Phase phase) const {
    if (length > 0) {
        draw_track(canvas, px, py);
        canvas.draw_centred_text("0", 10, ROW_NUMBERS, px + 12, py + 8);
        canvas.draw_centred_text(std::to_string(length - 1), 10, ROW_NUMBERS, px + 12, py + CELL_PX * length - 8);
    }
    int hand_x = faces_left ? px - CELL_PX : px + CELL_PX;
    canvas.draw_turned_picture(holding ? CLAW_CLOSED : CLAW, faces_left ? 0 : 180, hand_x, py + CELL_PX * position);
    draw_label(canvas, px, py, phase);
}

// With the claw on the right the whole strip is turned half a turn, so the
// bottom picture heads the track.
void DeviceGrabber::draw_track(Canvas& canvas, int px, int py) const {
    int angle = faces_left ? 0 : 180;
    canvas.draw_turned_picture(faces_left ? TOP : BOTTOM, angle, px, py);
    for (int i = 1; i < length - 1; ++i)
        canvas.draw_turned_picture(MIDDLE, angle, px, py + CELL_PX * i);
    canvas.draw_turned_picture(faces_left ? BOTTOM : TOP, angle, px, py + CELL_PX * (length - 1));
}

bool DeviceGrabber::floor_collide(int cx, int cy) const {
    return cx == x && cy >= y && cy - y < length;
}

std::vector<FloorCell> DeviceGrabber::footprint() const {
    std::vector<FloorCell> cells;
    for (int row = 0; row < length; ++row)
        cells.push_back({0, row});
    return cells;
}

std::unique_ptr<Device> DeviceGrabber::copy() const {
    return std::make_unique<DeviceGrabber>(x, y, mobility(), length, faces_left ? ClawSide::left : ClawSide::right);
}

std::string DeviceGrabber::get_code_stub(const Level&) const {
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

std::vector<int> DeviceGrabber::record_fields() const {
    return {x, y, number, length, faces_left ? 1 : 0};
}
