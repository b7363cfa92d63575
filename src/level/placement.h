// The rules for putting devices on the floor, for the player's drop, the
// loader and the campaign's check alike. A place is judged by the device's
// footprint (Device::footprint) set down at a proposed anchor cell, against
// the floor's edges and the other devices of the level; nothing is moved to
// ask, and the cost is what the footprint covers.
#ifndef GEARLOFT_LEVEL_PLACEMENT_H
#define GEARLOFT_LEVEL_PLACEMENT_H

#include <vector>

#include "devices/floor.h"

class Device;
class Level;

// Why a device may not stand at a cell; `none` when it may.
enum class PlacementProblem {
    none,
    off_floor,  // its anchor lies off the floor, or it reaches past the right or bottom edge
    fixed_belt, // it would cover one of the level's own belts
    overlap,    // it would cover another device
};
struct Placement {
    PlacementProblem problem = PlacementProblem::none;
    // The device in the way, for the last two.
    const Device* in_the_way = nullptr;
    bool accepted() const { return problem == PlacementProblem::none; }
};

// Whether the device, anchored at `anchor`, stands where the player could
// drop it, overlaps aside: the anchor on the floor and nothing of it in the
// column just right of the floor or the row just below it (what lies further
// out is not looked at, so a converter may hang below the floor's last rows).
// Every level item and save record must pass it.
bool fits_floor(const Device& device, FloorCell anchor);

// Whether the device may stand anchored at `anchor`: it must fit the floor
// and cover no floor cell that another device of the level covers (the
// first such device in list order is named). The device itself, when it is
// on the level's list, is not in its own way.
Placement placement_at(const Level& level, const Device& device, FloorCell anchor);
// The same where the device stands now.
bool placement_refused(const Level& level, const Device& device);

// The floor cells the device would cover anchored at `anchor`, column by
// column.
std::vector<FloorCell> cells_covered_at(const Device& device, FloorCell anchor);

// The lowest number no device of the same kind carries yet.
int lowest_free_number(const Level& level, const Device& device);
// The last device of the list covering the cell that the player may move, or null.
Device* movable_device_at(Level& level, int cx, int cy);
// Takes the device out of the level's list and destroys it, if it is there.
void remove_device(Level& level, const Device* device);

#endif
