#ifndef GEARLOFT_SCREENS_LEVEL_LIST_ROWS_H
#define GEARLOFT_SCREENS_LEVEL_LIST_ROWS_H

#include <SDL.h>

#include <cstddef>
#include <string>

#include "files/levels_folder.h"

// The level list's geometry: rows of 20 pixels from y = 100, and the load
// button in the bottom right corner.
constexpr int LIST_TOP = 100;
constexpr int LIST_ROW_HEIGHT = 20;
constexpr int LIST_LEFT = 25;
constexpr int LOAD_BUTTON_TOP = 550;
// Rows that fit between the list's top and the load button, so that no row
// runs under the button or off the window; a longer list is shown a page of
// them at a time.
constexpr int LIST_PAGE_ROWS = (LOAD_BUTTON_TOP - LIST_TOP) / LIST_ROW_HEIGHT;
// Longest row text; longer descriptions are cut.
constexpr size_t LIST_ROW_MAX = 255;

// "[" + difficulty stars padded to nine + "] " + description.
std::string level_row_text(int difficulty, const std::string& description);
// The shown row under a press at height y, or -1.
int level_row_at(int y, int row_count);
bool load_button_hit(int x, int y);
// The band behind the highlighted row, `row` counted on the page shown.
void draw_row_highlight(SDL_Surface* screen, int row);

#endif
