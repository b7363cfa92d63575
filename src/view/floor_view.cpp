#include "view/floor_view.h"

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "canvas/canvas.h"
#include "devices/device.h"
#include "level/level.h"
#include "view/floor_overlays.h"

namespace {
// Glue marks and catcher areas share one light blue.
constexpr Colour MARK{128, 128, 255};
constexpr int GLUE_INSET = 5;
constexpr int GLUE_SIZE = 15;
constexpr int OUTLINE_PX = 2;
constexpr int OUTLINE_WASH_ALPHA = 80;

PictureFile block_picture(unsigned char type) { return {block_picture_file(type)}; }

const PictureFile SPAWNER_FRAME{"img/spawner.gif", Magenta::see_through};
const PictureFile CATCHER_SLOT{"img/catcher_slot.gif"};

// Each spawner shows the block it makes, in list order. Spawners sharing a
// cell would hide all but the last, so such a cell is shared out in strips,
// one per spawner and in list order, and every spawner cell gets a frame
// that tells it from a block lying there.
void draw_spawners(Canvas& canvas, const Level& level) {
    std::map<std::pair<int, int>, std::vector<unsigned char>> cells;
    for (auto& spawner : level.spawners) {
        canvas.draw_picture(block_picture(spawner->type), spawner->x * CELL_PX, spawner->y * CELL_PX);
        cells[{spawner->x, spawner->y}].push_back(spawner->type);
    }
    for (auto& [cell, types] : cells) {
        int px = cell.first * CELL_PX, py = cell.second * CELL_PX;
        int count = static_cast<int>(types.size());
        for (int i = 0; count > 1 && i < count; ++i) {
            // A vertical strip of the block picture, across the cell from `from` to `to`.
            int from = CELL_PX * i / count, to = CELL_PX * (i + 1) / count;
            canvas.draw_picture_part(block_picture(types[static_cast<size_t>(i)]), {from, 0, to - from, CELL_PX}, px,
                                     py);
        }
        canvas.draw_picture(SPAWNER_FRAME, px, py);
    }
}

// The area with the count in its corner and the faded pattern one cell in.
void draw_catcher(Canvas& canvas, const Catcher& catcher) {
    int px = catcher.x * CELL_PX, py = catcher.y * CELL_PX;
    canvas.fill({px, py, CELL_PX * catcher.width + 2 * CELL_PX, CELL_PX * catcher.height + 2 * CELL_PX}, MARK);
    canvas.draw_text(std::to_string(catcher.remaining), 18, {0, 0, 0}, px + 7, py + 2);
    for (int cx = 0; cx < catcher.width; ++cx) {
        for (int cy = 0; cy < catcher.height; ++cy) {
            // A pattern shorter than its area simply has no picture there.
            size_t at = static_cast<size_t>(cy) * catcher.width + cx;
            if (at >= catcher.pattern.size())
                continue;
            PictureFile picture = block_picture(static_cast<unsigned char>(catcher.pattern[at]));
            int px = CELL_PX * (catcher.x + cx) + CELL_PX, py = CELL_PX * (catcher.y + cy) + CELL_PX;
            // A grey slot under each judged cell: faded straight onto the
            // blue, a block would take on the catcher's colour.
            if (picture.path != nullptr)
                canvas.draw_picture(CATCHER_SLOT, px, py);
            canvas.draw_faded_picture(picture, px, py, 128);
        }
    }
}

// The plain view covers a sprayed block's middle with its glue mark; the
// inspection view rings it instead, so the block keeps its colour.
enum class GlueMark { square, ring };

void draw_blocks(Canvas& canvas, const Level& level, GlueMark mark) {
    for (int x = 0; x < FLOOR_W; ++x) {
        for (int y = 0; y < FLOOR_H; ++y) {
            canvas.draw_picture(block_picture(level.blocks[x][y]), CELL_PX * x, CELL_PX * y);
            if (level.sticky[x][y] == 0)
                continue;
            if (mark == GlueMark::square)
                canvas.fill({CELL_PX * x + GLUE_INSET, CELL_PX * y + GLUE_INSET, GLUE_SIZE, GLUE_SIZE}, MARK);
            else
                draw_glue_ring(canvas, x, y);
        }
    }
}

// A faint wash over each cell and a rim round the group's outer edges.
void draw_outline(Canvas& canvas, const DropOutline& outline) {
    Colour rim = outline.accepted ? Colour{70, 220, 90} : Colour{235, 60, 50};
    auto covered = [&](int x, int y) {
        return std::find(outline.cells.begin(), outline.cells.end(), FloorCell{x, y}) != outline.cells.end();
    };
    for (auto [x, y] : outline.cells) {
        int px = CELL_PX * x, py = CELL_PX * y;
        canvas.wash({px, py, CELL_PX, CELL_PX}, rim, OUTLINE_WASH_ALPHA);
        if (!covered(x, y - 1))
            canvas.fill({px, py, CELL_PX, OUTLINE_PX}, rim);
        if (!covered(x, y + 1))
            canvas.fill({px, py + CELL_PX - OUTLINE_PX, CELL_PX, OUTLINE_PX}, rim);
        if (!covered(x - 1, y))
            canvas.fill({px, py, OUTLINE_PX, CELL_PX}, rim);
        if (!covered(x + 1, y))
            canvas.fill({px + CELL_PX - OUTLINE_PX, py, OUTLINE_PX, CELL_PX}, rim);
    }
}

// The devices drawn beneath the blocks (belts), or the others.
enum class Layer { beneath_blocks, over_blocks };

void draw_devices(Canvas& canvas, const Level& level, const Device* dragged, Layer layer, Phase phase) {
    for (auto& device : level.devices)
        if (device.get() != dragged && device->is_low() == (layer == Layer::beneath_blocks))
            device->draw(canvas, phase);
}
} // namespace

void draw_floor(Canvas& canvas, const Level& level, Phase phase, const DraggedDevice* dragged,
                const Inspection* inspection) {
    const Device* dragged_device = dragged != nullptr ? dragged->device : nullptr;
    // The inspection view places the names itself, clear of each other, so
    // the parts are drawn as in a run, which shows no labels (a lamp is lit
    // only during a run anyway).
    Phase parts_phase = inspection != nullptr ? Phase::running : phase;
    for (auto& catcher : level.catchers)
        draw_catcher(canvas, *catcher);
    draw_devices(canvas, level, dragged_device, Layer::beneath_blocks, parts_phase);
    draw_blocks(canvas, level, inspection != nullptr ? GlueMark::ring : GlueMark::square);
    draw_devices(canvas, level, dragged_device, Layer::over_blocks, parts_phase);
    if (phase == Phase::building)
        draw_spawners(canvas, level);
    if (inspection != nullptr)
        draw_inspection_marks(canvas, level, phase, dragged_device, *inspection);
    if (dragged != nullptr && dragged->outline != nullptr)
        draw_outline(canvas, *dragged->outline);
    if (dragged_device != nullptr)
        dragged_device->draw_at(canvas, dragged->x, dragged->y, phase);
}
