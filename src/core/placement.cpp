#include "core/placement.h"

#include <algorithm>

#include "devices/device.h"
#include "level/level.h"

bool placement_refused(Level& level, Device& device) {
    for (auto& other : level.devices)
        if (other.get() != &device && device.device_collide(other.get()))
            return true;
    return !device.fits_floor();
}

int lowest_free_number(const Level& level, const Device& device) {
    for (int n = 0;; ++n) {
        bool taken = std::any_of(level.devices.begin(), level.devices.end(), [&](const auto& other) {
            return other->kind == device.kind && other->number == n;
        });
        if (!taken)
            return n;
    }
}

Device* movable_device_at(Level& level, int cx, int cy) {
    Device* found = nullptr;
    for (auto& device : level.devices)
        if (!device->fixed && device->floor_collide(cx, cy))
            found = device.get();
    return found;
}

int snap_to_cell(int pixel) { return (pixel + CELL_PX / 2) / CELL_PX; }

void remove_device(Level& level, const Device* device) {
    auto& list = level.devices;
    list.erase(std::remove_if(list.begin(), list.end(), [device](const auto& d) { return d.get() == device; }),
               list.end());
}
