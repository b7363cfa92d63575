#include "converter/converter.h"

#include "level/level.h"

namespace {
SDL_Surface* block_picture(Level* level, unsigned char type) {
    if (level == nullptr)
        return nullptr;
    auto found = level->block_images.find(type);
    return found == level->block_images.end() ? nullptr : found->second;
}
} // namespace

DeviceConverter::DeviceConverter(int x, int y, bool fixed, unsigned char from_type, unsigned char to_type, Level* level)
    : Device(x, y, fixed), from_type(from_type), to_type(to_type), from_picture(block_picture(level, from_type)),
      to_picture(block_picture(level, to_type)), body(load_picture("img/converter.gif", true)), level(level) {}

FloorCell DeviceConverter::conversion_cell() const { return {x + 2, y + 2}; }

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

void DeviceConverter::draw_at(SDL_Surface* dst, int px, int py, bool) {
    draw_image(body.get(), px, py, dst);
    draw_image(from_picture, px + 10, py + 10, dst);
    draw_image(to_picture, px + 65, py + 10, dst);
}

void DeviceConverter::code_action(const char*, int, Level*) {}

bool DeviceConverter::block_collide(int cx, int cy) { return floor_collide(cx, cy); }

// Rows y and y + 1 are solid across, row y + 2 is the lane, and row y + 3
// keeps only its middle two cells.
bool DeviceConverter::floor_collide(int cx, int cy) {
    int col = cx - x;
    int row = cy - y;
    if (row == 0 || row == 1)
        return col >= 0 && col <= 3;
    if (row == 3)
        return col == 1 || col == 2;
    return false;
}

std::unique_ptr<Device> DeviceConverter::copy() {
    return std::make_unique<DeviceConverter>(x, y, fixed, from_type, to_type, level);
}

void DeviceConverter::give_name(int) {}

std::string DeviceConverter::get_code_stub(Level*) { return ""; }

void DeviceConverter::reset() {}

bool DeviceConverter::is_low() { return false; }

std::string DeviceConverter::get_save_stub(Level*) {
    return format_text(SAVE_RECORD_SIZE, "a, %d, %d, 0, %d, %d", x, y, static_cast<int>(from_type),
                       static_cast<int>(to_type));
}
