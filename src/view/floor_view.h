// Drawing the factory floor: catcher areas, belts, blocks with their glue
// marks, the other machines, the spawners while building, and the machine
// being dragged. Pictures come from the picture cache.
#ifndef GEARLOFT_VIEW_FLOOR_VIEW_H
#define GEARLOFT_VIEW_FLOOR_VIEW_H

#include <SDL.h>

#include <utility>
#include <vector>

class Device;
class Level;

// Where a dragged device would land if let go now: the floor cells it would
// cover, outlined green when it may stand there and red when not.
struct DropOutline {
    std::vector<std::pair<int, int>> cells;
    bool accepted = false;
};

// Draws the floor as the level stands. `dragged`, when not null, is left out
// of its place and drawn last with its anchor at pixel (drag_x, drag_y), so
// that it follows the pointer at pixel precision. `building` is true in
// construction mode: spawners and name labels show, lamps stay dim. An
// outline, when given, is drawn over the floor beneath the dragged device.
void draw_floor(SDL_Surface* dst, Level& level, Device* dragged, int drag_x, int drag_y, bool building,
                const DropOutline* outline = nullptr);

#endif
