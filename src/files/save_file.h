// Save files: the level file's name, one record per device the player may
// move, a "CODE" line, then the initialization code and the every-cycle code,
// each as its row count followed by its rows.
#ifndef GEARLOFT_FILES_SAVE_FILE_H
#define GEARLOFT_FILES_SAVE_FILE_H

#include <string>
#include <vector>

#include "files/level_file.h"

// Most device records a save may hold: one per floor cell, since the game
// never lets two devices share a cell and each covers its anchor cell.
constexpr int SAVE_RECORDS_MAX = FLOOR_W * FLOOR_H;

// A level from a save: the named level file's items without its converters,
// the saved devices, then both code texts (each row followed by "\n"), kept
// byte for byte. A device that does not stand where the player could have
// dropped it, or more records than SAVE_RECORDS_MAX, refuse the save with a
// message naming `save_name`.
LoadResult read_save_file(BetterReader& save, const LevelOpener& open = open_level_file,
                          const std::string& save_name = "");

// What the game's loader reads: a level file by its name inside
// LEVELS_FOLDER, or a save file by its path.
enum class LevelSource { level_file, save_file };
LoadResult load_level(const char* file, LevelSource source);

// The text of a save of the level: the level name, a record per device that
// is not fixed, "CODE", then `code` (the program part) as it is.
std::string save_text(Level& level, const std::string& code);
// Writes the save text to a file. An existing file is replaced only by a
// complete new one. False, with the reason in `failure`, when the file could
// not be written.
bool save_level(Level& level, const char* path, const std::string& code, std::string* failure = nullptr);

// The program part of a save: each text's row count, then its rows, every
// line ended by "\n".
std::string program_save_text(const std::vector<std::string>& init_rows, const std::vector<std::string>& cycle_rows);

// The rows of a loaded code text: each ends at a "\n"; a last piece without
// one is a row too.
std::vector<std::string> code_rows(const std::string& code);

#endif
