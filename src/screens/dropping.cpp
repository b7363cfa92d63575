#include "screens/dropping.h"

#include "devices/device.h"
#include "kinds/conveyer.h"

namespace {
std::string name_of(const Device& device) {
    if (device.name[0] != '\0')
        return device.name;
    return &device.kind == &DeviceConveyer::KIND ? "a belt" : "a converter";
}
} // namespace

int snap_to_cell(int pixel) {
    return (pixel + CELL_PX / 2) / CELL_PX;
}

std::string refusal_text(const Placement& placement, DropStage stage) {
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
    return (stage == DropStage::dropped ? "Not placed: " : "Not here: ") + why;
}
