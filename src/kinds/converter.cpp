#include "kinds/converter.h"

#include "canvas/canvas.h"

#include "level/level.h"

const DeviceKind DeviceConverter::KIND{'a', "", "a, %d, %d, 0, %d, %d", "x y from to"};

namespace {
// The two block pictures on the body show what goes in and what comes out.
const PictureFile BODY{"img/converter.gif", Magenta::see_through};

PictureFile block_picture(unsigned char type) {
    return {block_picture_file(type)};
}
} // namespace

DeviceConverter::DeviceConverter(int x, int y, Mobility mobility, unsigned char from_type, unsigned char to_type)
    : Device(x, y, mobility, KIND), from_type(from_type), to_type(to_type) {}

FloorCell DeviceConverter::conversion_cell() const {
    return {x + 2, y + 2};
}

// Only the type changes: the block keeps its group and marks. The empty type
// is never converted from or to, so a converter can neither conjure a block
// without a group nor leave a group with an invisible "empty" block.
void DeviceConverter::tick(Level* on) {
    if (from_type == EMPTY_BLOCK || to_type == EMPTY_BLOCK)
        return;
    FloorCell c = conversion_cell();
    if (on->has_block(c.x, c.y) && on->blocks[c.x][c.y] == from_type)
        on->blocks[c.x][c.y] = to_type;
}

void DeviceConverter::draw_at(Canvas& canvas, int px, int py, Phase) const {
    canvas.draw_picture(BODY, px, py);
    canvas.draw_picture(block_picture(from_type), px + 10, py + 10);
    canvas.draw_picture(block_picture(to_type), px + 65, py + 10);
}

// Rows y and y + 1 are solid across, row y + 2 is the lane, and row y + 3
// keeps only its middle two cells.
bool DeviceConverter::floor_collide(int cx, int cy) const {
    int col = cx - x;
    int row = cy - y;
    if (row == 0 || row == 1)
        return col >= 0 && col <= 3;
    if (row == 3)
        return col == 1 || col == 2;
    return false;
}

std::vector<FloorCell> DeviceConverter::footprint() const {
    return {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 3}, {2, 0}, {2, 1}, {2, 3}, {3, 0}, {3, 1}};
}

std::unique_ptr<Device> DeviceConverter::copy() const {
    return std::make_unique<DeviceConverter>(x, y, mobility(), from_type, to_type);
}

std::vector<int> DeviceConverter::record_fields() const {
    return {x, y, from_type, to_type};
}
