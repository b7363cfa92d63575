#ifndef GEARLOFT_SCRIPTING_PROGRAM_H
#define GEARLOFT_SCRIPTING_PROGRAM_H

#include <string>

class Level;

// The text run for one chunk: every device's Lua table, in list order, as the
// floor stands now, then the player's code. Each non-empty table text is one
// line, so line k of the code is line k + (devices with a table) of the text.
std::string assemble_program(Level* level, const std::string& code);

#endif
