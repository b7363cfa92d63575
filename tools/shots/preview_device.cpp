#include "preview_device.h"

#include "toolkit/toolkit.h"

void PreviewDevice::draw_at(SDL_Surface* dst, int px, int py, bool labels) {
    if (has_fill) {
        SDL_Rect cell = make_rect(px, py, 25, 25);
        SDL_FillRect(dst, &cell, SDL_MapRGB(dst->format, fill_r, fill_g, fill_b));
    }
    for (const PreviewLayer& layer : layers) {
        if (layer.alpha < 255)
            draw_image_rotated_fade(layer.picture, layer.angle, px + layer.dx, py + layer.dy, dst, layer.alpha);
        else
            draw_image_rotated(layer.picture, layer.angle, px + layer.dx, py + layer.dy, dst);
    }
    for (const auto& number : numbers)
        draw_text_int_center(number.first, 10, 0, 0, 0, px + number.second.first, py + number.second.second, dst);
    if (!name_pattern.empty())
        draw_label(dst, px, py, labels);
}

bool PreviewDevice::floor_collide(int cx, int cy) {
    for (const auto& cell : cells)
        if (cx == x + cell.first && cy == y + cell.second)
            return true;
    return false;
}
