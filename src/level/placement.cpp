#include "level/placement.h"

#include <algorithm>
#include <string_view>

#include "devices/device.h"
#include "level/level.h"

namespace {
// The footprint set down at the anchor.
std::vector<FloorCell> cells_at(const Device& device, FloorCell anchor) {
    std::vector<FloorCell> cells = device.footprint();
    for (FloorCell& cell : cells)
        cell = {anchor.x + cell.x, anchor.y + cell.y};
    return cells;
}

// The column just right of the floor and the row just below it, which a
// device may not reach into.
bool past_the_edge(FloorCell cell) {
    return (cell.x == FLOOR_W && cell.y >= 0 && cell.y < FLOOR_H) ||
           (cell.y == FLOOR_H && cell.x >= 0 && cell.x < FLOOR_W);
}
} // namespace

bool fits_floor(const Device& device, FloorCell anchor) {
    std::vector<FloorCell> cells = cells_at(device, anchor);
    return on_floor(anchor.x, anchor.y) && std::none_of(cells.begin(), cells.end(), past_the_edge);
}

Placement placement_at(const Level& level, const Device& device, FloorCell anchor) {
    if (!fits_floor(device, anchor))
        return {PlacementProblem::off_floor, nullptr};
    std::vector<FloorCell> covered = cells_covered_at(device, anchor);
    for (const auto& other : level.devices) {
        if (other.get() == &device)
            continue;
        bool in_the_way = std::any_of(covered.begin(), covered.end(),
                                      [&other](FloorCell cell) { return other->floor_collide(cell.x, cell.y); });
        if (in_the_way)
            return {other->fixed ? PlacementProblem::fixed_belt : PlacementProblem::overlap, other.get()};
    }
    return {};
}

bool placement_refused(const Level& level, const Device& device) {
    return !placement_at(level, device, {device.x, device.y}).accepted();
}

std::vector<FloorCell> cells_covered_at(const Device& device, FloorCell anchor) {
    std::vector<FloorCell> cells = cells_at(device, anchor);
    cells.erase(std::remove_if(cells.begin(), cells.end(), [](FloorCell c) { return !on_floor(c.x, c.y); }),
                cells.end());
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return cells;
}

int lowest_free_number(const Level& level, const Device& device) {
    for (int n = 0;; ++n) {
        bool taken = std::any_of(level.devices.begin(), level.devices.end(), [&](const auto& other) {
            return std::string_view(other->kind.word) == device.kind.word && other->number == n;
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

void remove_device(Level& level, const Device* device) {
    auto& list = level.devices;
    list.erase(std::remove_if(list.begin(), list.end(), [device](const auto& d) { return d.get() == device; }),
               list.end());
}
