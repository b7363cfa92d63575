// A hint under a program's error message, in the player's own terms: the
// box and the line of their code the error is in (Lua counts the parts'
// table lines in front of it), and for a part name the program used but no
// part bears, the parts of that kind on the floor. Used by the error screen
// and by gearloft-sim.
#ifndef GEARLOFT_RUN_ERROR_HINT_H
#define GEARLOFT_RUN_ERROR_HINT_H

#include <cstddef>
#include <string>

class Level;

// Longest hint, ellipsis included.
constexpr std::size_t HINT_MAX = 200;

// The hint for `message`, an error of a program run on the level's devices
// as they stand; empty when the message holds nothing to explain. Short and
// printable, whatever the message holds.
std::string error_hint(const std::string& message, Level& level);

#endif
