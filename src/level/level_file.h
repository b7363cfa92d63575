// Level files: a description line, a difficulty line, then an item count and
// that many items (spawners, catchers, fixed belts, converters), each a
// keyword, x, y and the keyword's own fields.
#ifndef GEARLOFT_LEVEL_LEVEL_FILE_H
#define GEARLOFT_LEVEL_LEVEL_FILE_H

#include <cstddef>
#include <string>

#include "level/level.h"

// Level files live here, relative to the game's working folder.
constexpr const char* LEVELS_FOLDER = "levels/";
// Longest level file name (inside LEVELS_FOLDER) a level or save may name.
constexpr std::size_t LEVEL_NAME_MAX = 120;

// Reads the items of the level file `name` into the level, in file order;
// with `with_converters` false a converter item is read but not placed.
// False, with the level's load problem and message set, when the file
// cannot be used.
bool read_level_items(Level& level, const std::string& name, bool with_converters);

// Marks a level as not loaded.
void fail_load(Level& level, LoadProblem problem, const std::string& message);

// Fills a level from a level file (its name inside LEVELS_FOLDER), setting
// `level_name`, or the load problem when the file cannot be used.
void load_level_file(Level& level, const char* name);

#endif
