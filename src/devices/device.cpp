#include "devices/device.h"

#include <cstdio>

#include "level/level.h"
#include "toolkit/toolkit.h"

Step direction_step(int direction) {
    switch (direction) {
    case DIR_UP: return {0, -1};
    case DIR_RIGHT: return {1, 0};
    case DIR_DOWN: return {0, 1};
    case DIR_LEFT: return {-1, 0};
    default: return {0, 0};
    }
}

Device::Device(int x, int y, bool fixed) : x(x), y(y), name{}, fixed(fixed) {}

bool Device::device_collide(Device* other) {
    for (int cx = 0; cx < FLOOR_W; ++cx)
        for (int cy = 0; cy < FLOOR_H; ++cy)
            if (floor_collide(cx, cy) && other->floor_collide(cx, cy))
                return true;
    return false;
}

void Device::draw(SDL_Surface* dst, bool labels) { draw_at(dst, x * CELL_PX, y * CELL_PX, labels); }

void Device::set_name(const char* pattern, int n) {
    std::snprintf(name, sizeof name, pattern, n);
    number = n;
}

void Device::draw_label(SDL_Surface* dst, int px, int py, bool labels) const {
    if (labels)
        draw_text(name, 10, 255, 0, 0, px, py - 16, dst);
}
