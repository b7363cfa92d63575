#ifndef GEARLOFT_MAIN_LEVEL_LIST_H
#define GEARLOFT_MAIN_LEVEL_LIST_H

#include <string>
#include <vector>

// The level list's geometry: rows of 20 pixels from y = 100, and the load
// button in the bottom right corner.
constexpr int LIST_TOP = 100;
constexpr int LIST_ROW_HEIGHT = 20;
constexpr int LIST_LEFT = 25;
// Rows that fit between the list's top and the window's bottom edge; a longer
// list is shown a page of them at a time.
constexpr int LIST_PAGE_ROWS = (600 - LIST_TOP) / LIST_ROW_HEIGHT;
// Longest row text; longer descriptions are cut.
constexpr size_t LIST_ROW_MAX = 255;

// First line of "levels/" + name, without its line end; empty when unreadable.
std::string get_level_desc_from_file(const std::string& name);
// atoi of the second line of "levels/" + name; 0 when unreadable.
int get_level_difficulty_from_file(const std::string& name);

// The names of the level files in "levels", sorted by file name.
std::vector<std::string> find_levels();
// The levels to show: difficulty 1 first up to 9, ties in the given order;
// any other difficulty is left out.
std::vector<std::string> order_by_difficulty(const std::vector<std::string>& found);
// "[" + difficulty stars padded to nine + "] " + description.
std::string level_row_text(int difficulty, const std::string& description);
// The shown row under a press at height y, or -1.
int level_row_at(int y, int row_count);
bool load_button_hit(int x, int y);

#endif
