// Painting the floor: catcher areas, belts, blocks with their glue marks, the
// other machines, the spawners while building, and the machine being dragged.
#include <SDL.h>

#include "devices/device.h"
#include "level/level.h"
#include "toolkit/toolkit.h"

namespace {
// Glue marks and catcher areas share one light blue.
constexpr int MARK_R = 128, MARK_G = 128, MARK_B = 255;
constexpr int GLUE_INSET = 5;
constexpr int GLUE_SIZE = 15;

void fill_mark_colour(SDL_Surface* dst, int x, int y, int w, int h) {
    fill_rect(dst, x, y, w, h, MARK_R, MARK_G, MARK_B);
}

SDL_Surface* picture_of(std::map<int, SDL_Surface*>& pictures, unsigned char type) {
    auto found = pictures.find(type);
    return found == pictures.end() ? nullptr : found->second;
}
} // namespace

void Spawner::draw(SDL_Surface* dst, std::map<int, SDL_Surface*>& pictures) const {
    draw_image(picture_of(pictures, type), x * CELL_PX, y * CELL_PX, dst);
}

void Catcher::draw(SDL_Surface* dst, std::map<int, SDL_Surface*>& pictures) const {
    int px = x * CELL_PX, py = y * CELL_PX;
    fill_mark_colour(dst, px, py, CELL_PX * width + 2 * CELL_PX, CELL_PX * height + 2 * CELL_PX);
    draw_text_int(remaining, 18, 0, 0, 0, px + 7, py + 2, dst);
    for (int cx = 0; cx < width; ++cx) {
        for (int cy = 0; cy < height; ++cy) {
            // A pattern shorter than its area simply has no picture there.
            size_t at = static_cast<size_t>(cy) * width + cx;
            if (at >= pattern.size())
                continue;
            SDL_Surface* picture = picture_of(pictures, static_cast<unsigned char>(pattern[at]));
            draw_image_fade(picture, CELL_PX * (x + cx) + CELL_PX, CELL_PX * (y + cy) + CELL_PX, dst, 128);
        }
    }
}

void Level::draw_to_surface(SDL_Surface* dst, Device* dragged, int grab_dx, int grab_dy, bool building) {
    if (dst == nullptr)
        return;
    for (auto& catcher : catchers)
        catcher->draw(dst, block_images);
    for (auto& device : devices)
        if (device.get() != dragged && device->is_low())
            device->draw(dst, building);
    for (int x = 0; x < FLOOR_W; ++x) {
        for (int y = 0; y < FLOOR_H; ++y) {
            draw_image(picture_of(block_images, blocks[x][y]), CELL_PX * x, CELL_PX * y, dst);
            if (sticky[x][y] != 0)
                fill_mark_colour(dst, CELL_PX * x + GLUE_INSET, CELL_PX * y + GLUE_INSET, GLUE_SIZE, GLUE_SIZE);
        }
    }
    for (auto& device : devices)
        if (device.get() != dragged && !device->is_low())
            device->draw(dst, building);
    if (building)
        for (auto& spawner : spawners)
            spawner->draw(dst, block_images);
    if (dragged != nullptr) {
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        dragged->draw_at(dst, mx - grab_dx, my - grab_dy, building);
    }
}
