// Drawing the factory floor: catcher areas, belts, blocks with their glue
// marks, the other machines, the spawners while building, and the machine
// being dragged. Pictures come from the picture cache.
#ifndef GEARLOFT_VIEW_FLOOR_VIEW_H
#define GEARLOFT_VIEW_FLOOR_VIEW_H

#include <SDL.h>

class Device;
class Level;

// Draws the floor as the level stands. `dragged`, when not null, is left out
// of its place and drawn last with its anchor at pixel (drag_x, drag_y), so
// that it follows the pointer at pixel precision. `building` is true in
// construction mode: spawners and name labels show, lamps stay dim.
void draw_floor(SDL_Surface* dst, Level& level, Device* dragged, int drag_x, int drag_y, bool building);

#endif
