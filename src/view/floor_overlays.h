// The inspection view: marks drawn over the floor that show what the plain
// picture leaves to guessing. Blocks glued into one group are outlined
// together, with staples across their glued edges and a seam between
// groups; a sprayed block keeps its colour under a hollow glue ring; every
// catcher gets its own coloured border, with its count and wanted shape on
// top of whatever stands there; lit lamps get a bright ring; and the names
// of the parts sit on dark plates that never overlap one another.
#ifndef GEARLOFT_VIEW_FLOOR_OVERLAYS_H
#define GEARLOFT_VIEW_FLOOR_OVERLAYS_H

#include <optional>
#include <vector>

#include "canvas/canvas.h"
#include "devices/device.h"
#include "devices/floor.h"

class Level;

// What the inspection view needs besides the level: the cell under the
// pointer, whose part's name is placed first and so always shows.
struct Inspection {
    std::optional<FloorCell> pointer;
};

// A part's name as the inspection view shows it, and where.
struct NameLabel {
    const Device* device;
    std::string text;
    PixelRect plate;
};

// The sprayed block's glue mark in the inspection view: a ring where the
// plain view has a filled square.
void draw_glue_ring(Canvas& canvas, int cell_x, int cell_y);

// The marks over a floor already drawn; `dragged` is left out.
void draw_inspection_marks(Canvas& canvas, const Level& level, Phase phase, const Device* dragged,
                           const Inspection& inspection);

// Where the names go: each named part's label at the first of a few places
// round it that stays on the floor and clear of the labels placed before,
// preferring places that leave other parts uncovered; the part under the
// pointer goes first. A label with no such place is left out.
std::vector<NameLabel> place_name_labels(Canvas& canvas, const Level& level, Phase phase, const Device* dragged,
                                         std::optional<FloorCell> pointer);

#endif
