// How a winning machine is measured, alike in the game and in gearloft-sim:
//
// - steps: the level's step count when the win test first passes;
// - parts: what the player placed, one for each part and one for each cell
//   of a belt (the level's own belts and converters are free, even when the
//   player moved a converter);
// - code: the lines of both program texts on which something other than
//   blanks and comments stands.
#ifndef GEARLOFT_RUN_MEASURE_H
#define GEARLOFT_RUN_MEASURE_H

#include <string>

#include "files/records.h"

class Level;

int parts_placed(const Level& level);

// Lua comments: "--" to the end of the line, and a long comment "--[[" up to
// "]]" (or "--[==[" up to "]==]") over as many lines as it runs. A "--" or a
// long bracket inside a string is part of the string, and a line inside a
// long string holds code when it is not blank.
int code_lines(const std::string& code);

// The metrics of a run whose win test passed with the level at `steps`.
Metrics measure_win(const Level& level, int steps, const std::string& init_code, const std::string& cycle_code);

#endif
