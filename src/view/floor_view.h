// Drawing the factory floor onto a canvas: catcher areas, belts, blocks with
// their glue marks, the other machines, the spawners while building, and the
// machine being dragged.
#ifndef GEARLOFT_VIEW_FLOOR_VIEW_H
#define GEARLOFT_VIEW_FLOOR_VIEW_H

#include <vector>

#include "devices/device.h"
#include "devices/floor.h"

class Canvas;
class Level;
struct Inspection;

// Where a dragged device would land if let go now: the floor cells it would
// cover, outlined green when it may stand there and red when not.
struct DropOutline {
    std::vector<FloorCell> cells;
    bool accepted = false;
};

// The device the player drags: left out of its place on the floor and drawn
// last with its anchor at pixel (x, y), following the pointer at pixel
// precision, over the outline of where it would land when there is one.
struct DraggedDevice {
    const Device* device = nullptr;
    int x = 0;
    int y = 0;
    const DropOutline* outline = nullptr;
};

// Draws the floor as the level stands, for the player building (spawners
// and name labels show, lamps stay dim) or for the running machine; with an
// inspection, in the inspection view (view/floor_overlays.h).
void draw_floor(Canvas& canvas, const Level& level, Phase phase, const DraggedDevice* dragged = nullptr,
                const Inspection* inspection = nullptr);

#endif
