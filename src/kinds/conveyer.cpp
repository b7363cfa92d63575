#include "kinds/conveyer.h"

#include "canvas/canvas.h"

#include "level/level.h"

const DeviceKind DeviceConveyer::KIND{'b', "", "b, %d, %d, 0, %d, %d, %d", "x y length direction period"};

namespace {
// Belt pictures in frame order; each is drawn as a belt moving right.
const char* const FRAME_PICTURES[DeviceConveyer::FRAME_COUNT] = {
    "img/conveyer_8.gif", "img/conveyer_7.gif", "img/conveyer_5.gif", "img/conveyer_4.gif", "img/conveyer_2.gif",
};

bool is_direction(int direction) {
    return direction >= DIR_UP && direction <= DIR_LEFT;
}
} // namespace

DeviceConveyer::DeviceConveyer(int x, int y, Mobility mobility, int length, int direction, int period)
    : Device(x, y, mobility, KIND), length(length), direction(direction), period(period) {}

bool DeviceConveyer::runs_across() const {
    return direction % 2 != 0;
}

FloorCell DeviceConveyer::cell(int i) const {
    return runs_across() ? FloorCell{x + i, y} : FloorCell{x, y + i};
}

void DeviceConveyer::tick(Level* level) {
    // A belt without a positive period stands still.
    if (period <= 0) {
        frame = 0;
        return;
    }
    long long phase = ((level->ticks % period) + period) % period;
    // Spreads the picture sequence evenly over one period, for any period.
    frame = static_cast<int>(phase * FRAME_COUNT / period);
    if (phase == 0)
        carry_blocks(level);
}

// Scans from the anchor end whatever the direction, and moves each group at
// most once per direction per tick across all belts of the level: a group
// whose push fails still counts as moved.
void DeviceConveyer::carry_blocks(Level* level) {
    if (!is_direction(direction))
        return;
    Step step = direction_step(direction);
    std::set<int>& moved = level->moved[direction];
    for (int i = 0; i < length; ++i) {
        FloorCell c = cell(i);
        if (!level->has_block(c.x, c.y))
            continue;
        int group = level->group_at(c.x, c.y);
        if (!moved.insert(group).second)
            continue;
        level->push_block(c.x, c.y, step.dx, step.dy);
    }
}

void DeviceConveyer::draw_at(Canvas& canvas, int px, int py, Phase) const {
    PictureFile picture{frame >= 0 && frame < FRAME_COUNT ? FRAME_PICTURES[frame] : nullptr};
    for (int i = 0; i < length; ++i) {
        int cx = px + (runs_across() ? CELL_PX * i : 0);
        int cy = py + (runs_across() ? 0 : CELL_PX * i);
        if (direction == DIR_RIGHT || !is_direction(direction))
            canvas.draw_picture(picture, cx, cy);
        else // a turned picture is a pixel larger on each side
            canvas.draw_turned_picture(picture, facing_angle(direction) + 90, cx - 1, cy - 1);
    }
}

bool DeviceConveyer::block_collide(int, int) const {
    return false;
}

bool DeviceConveyer::floor_collide(int cx, int cy) const {
    if (runs_across())
        return cy == y && cx >= x && cx - x < length;
    return cx == x && cy >= y && cy - y < length;
}

std::vector<FloorCell> DeviceConveyer::footprint() const {
    std::vector<FloorCell> cells;
    for (int i = 0; i < length; ++i)
        cells.push_back(runs_across() ? FloorCell{i, 0} : FloorCell{0, i});
    return cells;
}

std::unique_ptr<Device> DeviceConveyer::copy() const {
    return std::make_unique<DeviceConveyer>(x, y, mobility(), length, direction, period);
}

void DeviceConveyer::reset() {
    frame = 0;
}

bool DeviceConveyer::is_low() const {
    return true;
}

std::vector<int> DeviceConveyer::record_fields() const {
    return {x, y, length, direction, period};
}
