#include "devices/floor.h"

Step direction_step(int direction) {
    switch (direction) {
    case DIR_UP: return {0, -1};
    case DIR_RIGHT: return {1, 0};
    case DIR_DOWN: return {0, 1};
    case DIR_LEFT: return {-1, 0};
    default: return {0, 0};
    }
}

FloorCell front_cell(int x, int y, int direction) {
    Step step = direction_step(direction);
    return {x + step.dx, y + step.dy};
}

FloorCell front_pixel(int px, int py, int direction) {
    Step step = direction_step(direction);
    return {px + step.dx * CELL_PX, py + step.dy * CELL_PX};
}

int facing_angle(int direction) {
    if (direction < DIR_UP || direction > DIR_LEFT)
        return 0;
    return -90 * direction;
}
