// The levels folder as the level list shows it: which level files it holds,
// and the first two lines of each, the description and the difficulty.
#ifndef GEARLOFT_FILES_LEVELS_FOLDER_H
#define GEARLOFT_FILES_LEVELS_FOLDER_H

#include <string>
#include <vector>

// First line of "levels/" + name, without its line end, at most 255
// characters; empty when unreadable.
std::string get_level_desc_from_file(const std::string& name);
// atoi of the second line of "levels/" + name; 0 when unreadable.
int get_level_difficulty_from_file(const std::string& name);

// The names of the level files in "levels", sorted by file name.
std::vector<std::string> find_levels();
// The levels to show: difficulty 1 first up to 9, ties in the given order;
// any other difficulty is left out.
std::vector<std::string> order_by_difficulty(const std::vector<std::string>& found);

#endif
