#include "view/floor_view.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "devices/device.h"
#include "level/level.h"
#include "toolkit/pictures.h"
#include "toolkit/toolkit.h"

namespace {
// Glue marks and catcher areas share one light blue.
constexpr int MARK_R = 128, MARK_G = 128, MARK_B = 255;
constexpr int GLUE_INSET = 5;
constexpr int GLUE_SIZE = 15;
constexpr int OUTLINE_PX = 2;

void fill_mark_colour(SDL_Surface* dst, int x, int y, int w, int h) {
    fill_rect(dst, x, y, w, h, MARK_R, MARK_G, MARK_B);
}

SDL_Surface* block_picture(unsigned char type) { return cached_picture(block_picture_file(type), false); }

constexpr const char* SPAWNER_FRAME = "img/spawner.gif";
constexpr const char* CATCHER_SLOT = "img/catcher_slot.gif";

// A vertical strip of a block picture: the part of it from `from` to `to`
// (pixels across the cell), drawn in place.
void draw_block_strip(SDL_Surface* dst, unsigned char type, int px, int py, int from, int to) {
    SDL_Surface* picture = block_picture(type);
    if (picture == nullptr || to <= from)
        return;
    SDL_Rect part = make_rect(from, 0, to - from, CELL_PX);
    SDL_Rect at = make_rect(px + from, py, to - from, CELL_PX);
    SDL_BlitSurface(picture, &part, dst, &at);
}

// Each spawner shows the block it makes, in list order. Spawners sharing a
// cell would hide all but the last, so such a cell is shared out in strips,
// one per spawner and in list order, and every spawner cell gets a frame
// that tells it from a block lying there.
void draw_spawners(SDL_Surface* dst, const Level& level) {
    std::map<std::pair<int, int>, std::vector<unsigned char>> cells;
    for (auto& spawner : level.spawners) {
        draw_image(block_picture(spawner->type), spawner->x * CELL_PX, spawner->y * CELL_PX, dst);
        cells[{spawner->x, spawner->y}].push_back(spawner->type);
    }
    for (auto& [cell, types] : cells) {
        int px = cell.first * CELL_PX, py = cell.second * CELL_PX;
        int count = static_cast<int>(types.size());
        for (int i = 0; count > 1 && i < count; ++i)
            draw_block_strip(dst, types[static_cast<size_t>(i)], px, py, CELL_PX * i / count,
                             CELL_PX * (i + 1) / count);
        draw_image(cached_picture(SPAWNER_FRAME, true), px, py, dst);
    }
}

// The area with the count in its corner and the faded pattern one cell in.
void draw_catcher(SDL_Surface* dst, const Catcher& catcher) {
    int px = catcher.x * CELL_PX, py = catcher.y * CELL_PX;
    fill_mark_colour(dst, px, py, CELL_PX * catcher.width + 2 * CELL_PX, CELL_PX * catcher.height + 2 * CELL_PX);
    draw_text_int(catcher.remaining, 18, 0, 0, 0, px + 7, py + 2, dst);
    for (int cx = 0; cx < catcher.width; ++cx) {
        for (int cy = 0; cy < catcher.height; ++cy) {
            // A pattern shorter than its area simply has no picture there.
            size_t at = static_cast<size_t>(cy) * catcher.width + cx;
            if (at >= catcher.pattern.size())
                continue;
            SDL_Surface* picture = block_picture(static_cast<unsigned char>(catcher.pattern[at]));
            int px = CELL_PX * (catcher.x + cx) + CELL_PX, py = CELL_PX * (catcher.y + cy) + CELL_PX;
            // A grey slot under each judged cell: faded straight onto the
            // blue, a block would take on the catcher's colour.
            if (picture != nullptr)
                draw_image(cached_picture(CATCHER_SLOT, false), px, py, dst);
            draw_image_fade(picture, px, py, dst, 128);
        }
    }
}

void draw_blocks(SDL_Surface* dst, const Level& level) {
    for (int x = 0; x < FLOOR_W; ++x) {
        for (int y = 0; y < FLOOR_H; ++y) {
            draw_image(block_picture(level.blocks[x][y]), CELL_PX * x, CELL_PX * y, dst);
            if (level.sticky[x][y] != 0)
                fill_mark_colour(dst, CELL_PX * x + GLUE_INSET, CELL_PX * y + GLUE_INSET, GLUE_SIZE, GLUE_SIZE);
        }
    }
}

// A faint wash over each cell and a rim round the group's outer edges.
void draw_outline(SDL_Surface* dst, const DropOutline& outline) {
    int r = outline.accepted ? 70 : 235, g = outline.accepted ? 220 : 60, b = outline.accepted ? 90 : 50;
    Picture wash = plain_picture(dst, CELL_PX, CELL_PX, r, g, b);
    auto covered = [&](int x, int y) {
        return std::find(outline.cells.begin(), outline.cells.end(), std::pair{x, y}) != outline.cells.end();
    };
    for (auto [x, y] : outline.cells) {
        int px = CELL_PX * x, py = CELL_PX * y;
        draw_image_fade(wash.get(), px, py, dst, 80);
        if (!covered(x, y - 1))
            fill_rect(dst, px, py, CELL_PX, OUTLINE_PX, r, g, b);
        if (!covered(x, y + 1))
            fill_rect(dst, px, py + CELL_PX - OUTLINE_PX, CELL_PX, OUTLINE_PX, r, g, b);
        if (!covered(x - 1, y))
            fill_rect(dst, px, py, OUTLINE_PX, CELL_PX, r, g, b);
        if (!covered(x + 1, y))
            fill_rect(dst, px + CELL_PX - OUTLINE_PX, py, OUTLINE_PX, CELL_PX, r, g, b);
    }
}

void draw_devices(SDL_Surface* dst, Level& level, const Device* dragged, bool low, bool building) {
    for (auto& device : level.devices)
        if (device.get() != dragged && device->is_low() == low)
            device->draw(dst, building);
}
} // namespace

void draw_floor(SDL_Surface* dst, Level& level, Device* dragged, int drag_x, int drag_y, bool building,
                const DropOutline* outline) {
    if (dst == nullptr)
        return;
    for (auto& catcher : level.catchers)
        draw_catcher(dst, *catcher);
    draw_devices(dst, level, dragged, true, building);
    draw_blocks(dst, level);
    draw_devices(dst, level, dragged, false, building);
    if (building)
        draw_spawners(dst, level);
    if (outline != nullptr)
        draw_outline(dst, *outline);
    if (dragged != nullptr)
        dragged->draw_at(dst, drag_x, drag_y, building);
}
