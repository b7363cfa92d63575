#include "core/placement.h"

#include <algorithm>
#include <string>

#include "conveyer/conveyer.h"
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

std::string name_of(const Device& device) {
    if (device.name[0] != '\0')
        return device.name;
    return &device.device_kind() == &DeviceConveyer::KIND ? "a belt" : "a converter";
}
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

std::string refusal_text(const Placement& placement, bool dropped) {
    std::string why;
    switch (placement.problem) {
    case PlacementProblem::none:
        return "";
    case PlacementProblem::off_floor:
        why = "it would stick out of the floor.";
        break;
    case PlacementProblem::fixed_belt:
        why = "the level's own belt is in the way.";
        break;
    case PlacementProblem::overlap:
        why = "it would overlap " + name_of(*placement.in_the_way) + ".";
        break;
    }
    return (dropped ? "Not placed: " : "Not here: ") + why;
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

int snap_to_cell(int pixel) {
    return (pixel + CELL_PX / 2) / CELL_PX;
}

void remove_device(Level& level, const Device* device) {
    auto& list = level.devices;
    list.erase(std::remove_if(list.begin(), list.end(), [device](const auto& d) { return d.get() == device; }),
               list.end());
}
