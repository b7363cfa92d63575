// Save files: the level file's name, one record per device the player may
// move, a "CODE" line, then the initialization code and the every-cycle code,
// each as its row count followed by its rows.
#ifndef GEARLOFT_LEVEL_SAVE_FILE_H
#define GEARLOFT_LEVEL_SAVE_FILE_H

#include <string>
#include <vector>

class Level;

// Fills a level from a save file: the named level file's items without its
// converters, the saved devices, then both code texts (each row followed by
// "\n"). Sets the level's load problem and message when the save cannot be
// used.
void load_save_file(Level& level, const char* path);

// The program part of a save: each text's row count, then its rows, every
// line ended by "\n".
std::string program_save_text(const std::vector<std::string>& init_rows, const std::vector<std::string>& cycle_rows);

// The rows of a loaded code text: each ends at a "\n"; a last piece without
// one is a row too.
std::vector<std::string> code_rows(const std::string& code);

#endif
