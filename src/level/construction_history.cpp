#include "level/construction_history.h"

#include <utility>

#include "devices/device.h"
#include "level/level.h"

PartsSnapshot::PartsSnapshot(const Level& level) {
    for (const auto& device : level.devices) {
        std::unique_ptr<Device> part = device->copy();
        part->x = device->x;
        part->y = device->y;
        if (device->name[0] != '\0')
            part->give_name(device->number);
        part->number = device->number;
        records_.push_back(part->get_save_stub());
        parts_.push_back(std::move(part));
    }
}

PartsSnapshot::PartsSnapshot(PartsSnapshot&&) noexcept = default;
PartsSnapshot& PartsSnapshot::operator=(PartsSnapshot&&) noexcept = default;
PartsSnapshot::~PartsSnapshot() = default;

void PartsSnapshot::restore(Level& level) {
    level.devices = std::move(parts_);
    parts_.clear();
    records_.clear();
}

void ConstructionHistory::commit(PartsSnapshot before, const Level& level) {
    if (before.same_parts(PartsSnapshot(level)))
        return;
    undo_.push_back(std::move(before));
    if (undo_.size() > DEPTH)
        undo_.pop_front();
    redo_.clear();
}

namespace {
// Moves the level one step along a history: what stands now goes to
// `other`, the last of `from` is put in its place.
bool step(std::deque<PartsSnapshot>& from, std::deque<PartsSnapshot>& other, Level& level) {
    if (from.empty())
        return false;
    other.emplace_back(level);
    from.back().restore(level);
    from.pop_back();
    return true;
}
} // namespace

bool ConstructionHistory::undo(Level& level) { return step(undo_, redo_, level); }

bool ConstructionHistory::redo(Level& level) { return step(redo_, undo_, level); }
