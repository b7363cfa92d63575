// Dropping a dragged device: the cell it lands on, and what the status line
// says of a place the placement rules (level/placement.h) refuse.
#ifndef GEARLOFT_SCREENS_DROPPING_H
#define GEARLOFT_SCREENS_DROPPING_H

#include <string>

#include "level/placement.h"

// The cell whose top-left pixel is nearest to (px, py); the quotient is cut
// toward zero, as for every drop.
int snap_to_cell(int pixel);

// When the status line speaks of a refused place: while the device is
// dragged over it, or once it was dropped there (and went back).
enum class DropStage { dragging, dropped };
std::string refusal_text(const Placement& placement, DropStage stage);

#endif
