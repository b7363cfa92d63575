#include "level/placement.h"

#include <algorithm>

#include "devices/device.h"
#include "level/level.h"

namespace {
// Puts a device at a cell for as long as it lives, then back.
class MovedTo {
public:
    MovedTo(Device& device, int x, int y) : device_(device), x_(device.x), y_(device.y) {
        device.x = x;
        device.y = y;
    }
    ~MovedTo() {
        device_.x = x_;
        device_.y = y_;
    }
    MovedTo(const MovedTo&) = delete;
    MovedTo& operator=(const MovedTo&) = delete;

private:
    Device& device_;
    int x_, y_;
};

} // namespace

Placement placement_at(Level& level, Device& device, int x, int y) {
    MovedTo moved(device, x, y);
    if (!device.fits_floor())
        return {PlacementProblem::off_floor, nullptr};
    for (auto& other : level.devices)
        if (other.get() != &device && device.device_collide(other.get()))
            return {other->fixed ? PlacementProblem::fixed_belt : PlacementProblem::overlap, other.get()};
    return {};
}

bool placement_refused(Level& level, Device& device) {
    return !placement_at(level, device, device.x, device.y).accepted();
}

std::vector<std::pair<int, int>> cells_covered_at(Device& device, int x, int y) {
    MovedTo moved(device, x, y);
    std::vector<std::pair<int, int>> cells;
    for (int cx = 0; cx < FLOOR_W; ++cx)
        for (int cy = 0; cy < FLOOR_H; ++cy)
            if (device.floor_collide(cx, cy))
                cells.emplace_back(cx, cy);
    return cells;
}

int lowest_free_number(const Level& level, const Device& device) {
    for (int n = 0;; ++n) {
        bool taken = std::any_of(level.devices.begin(), level.devices.end(),
                                 [&](const auto& other) { return other->kind == device.kind && other->number == n; });
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

void remove_device(Level& level, const Device* device) {
    auto& list = level.devices;
    list.erase(std::remove_if(list.begin(), list.end(), [device](const auto& d) { return d.get() == device; }),
               list.end());
}
