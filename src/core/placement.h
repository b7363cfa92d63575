#ifndef GEARLOFT_CORE_PLACEMENT_H
#define GEARLOFT_CORE_PLACEMENT_H

class Device;
class Level;

// The rules for putting the player's devices on the floor.

// The device at its current cell would overlap another device of the level,
// reach past the floor's right or bottom edge, or has its anchor off the floor.
bool placement_refused(Level& level, Device& device);
// The lowest number no device of the same kind carries yet.
int lowest_free_number(const Level& level, const Device& device);
// The last device of the list covering the cell that the player may move, or null.
Device* movable_device_at(Level& level, int cx, int cy);
// The cell whose top-left pixel is nearest to (px, py); the quotient is cut
// toward zero, as for every drop.
int snap_to_cell(int pixel);
// Takes the device out of the level's list and destroys it, if it is there.
void remove_device(Level& level, const Device* device);

#endif
