// The records beside a row of the level list, right of the row's text: a
// tick for a solved level, then for steps, parts and code its best and its
// par as "BEST/PAR", in columns that line up from row to row under their
// names at the top of the list, with "best/par" spanning them.
#ifndef GEARLOFT_SCREENS_LEVEL_LIST_RECORDS_H
#define GEARLOFT_SCREENS_LEVEL_LIST_RECORDS_H

#include <SDL.h>

#include <string>

#include "files/level_file.h"
#include "files/records.h"

// Whether a row's cells show the par beside each best ("BEST/PAR", padded
// to the columns) or the bests alone, unpadded.
enum class ParShown { beside_bests, left_out };

// The three cells, "-" for a best or a par there is none of.
std::string records_cells(const Bests* best, const Par& par, ParShown shown = ParShown::beside_bests);
// The column names over the cells.
std::string records_heading();

// Draws the records of the row at `row_y` whose text ends at `text_right`.
// Where the full cells would meet the text, the par is left out, then the
// bests; the tick is the last to go.
void draw_row_records(SDL_Surface* screen, int row_y, int text_right, const Bests* best, const Par& par);
void draw_records_heading(SDL_Surface* screen);

#endif
