#ifndef GEARLOFT_LEVEL_PLACEMENT_H
#define GEARLOFT_LEVEL_PLACEMENT_H

#include <utility>
#include <vector>

class Device;
class Level;

// The rules for putting the player's devices on the floor.

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

// Whether the device may stand with its anchor at (x, y): it may not reach
// past the floor's right or bottom edge, have its anchor off the floor, or
// overlap another device of the level. The drop and its preview both ask
// this. The device is left where it was.
Placement placement_at(Level& level, Device& device, int x, int y);
// The same at the device's current cell.
bool placement_refused(Level& level, Device& device);
// The floor cells the device would cover with its anchor at (x, y).
std::vector<std::pair<int, int>> cells_covered_at(Device& device, int x, int y);

// The lowest number no device of the same kind carries yet.
int lowest_free_number(const Level& level, const Device& device);
// The last device of the list covering the cell that the player may move, or null.
Device* movable_device_at(Level& level, int cx, int cy);
// Takes the device out of the level's list and destroys it, if it is there.
void remove_device(Level& level, const Device* device);

#endif
