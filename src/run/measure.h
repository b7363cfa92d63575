// How a winning machine is measured, alike in the game and in gearloft-sim:
//
// - steps: the level's step count when the win test first passes;
// - parts: what the player placed, one for each part and one for each cell
//   of a belt (the level's own belts and converters are free, even when the
//   player moved a converter);
// - code: the Lua tokens of both program texts, so that no layout of the
//   same program (joined lines, blanks, comments) changes it.
#ifndef GEARLOFT_RUN_MEASURE_H
#define GEARLOFT_RUN_MEASURE_H

#include <string>

#include "files/records.h"

class Level;

int parts_placed(const Level& level);

// The tokens of a program text as Lua 5.1's lexer reads them: each name,
// keyword, number, operator and bracket counts one, and so does a whole
// string or long string; blanks, line ends and comments ("--" to the line's
// end, or a long comment "--[[ ]]", "--[==[ ]==]") count nothing. A text Lua
// would refuse still has a count: a string or long bracket left open runs to
// the line's or the text's end, a stray character counts one, and a number
// runs on over digits and dots as in Lua, so "1..2" is one (malformed) number.
int code_tokens(const std::string& code);

// The metrics of a run whose win test passed with the level at `steps`.
Metrics measure_win(const Level& level, int steps, const std::string& init_code, const std::string& cycle_code);

#endif
