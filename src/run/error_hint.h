// A hint under a program's error message, in the player's own terms: the
// box and the line of their code the error is in (as the run recorded it),
// and for a part name the program used but no part bears, the parts of that
// kind on the floor. Used by the error screen and by gearloft-sim.
#ifndef GEARLOFT_RUN_ERROR_HINT_H
#define GEARLOFT_RUN_ERROR_HINT_H

#include <cstddef>
#include <string>

#include "run/run.h"

class Level;

// Longest hint, ellipsis included.
constexpr std::size_t HINT_MAX = 200;

// The hint for a run's failure on the level's devices as they stand; empty
// when there is nothing to explain. Short and printable, whatever the
// program's message holds.
std::string error_hint(const RunError& failure, const Level& level);

#endif
