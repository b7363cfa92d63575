// Where the game's files live, relative to its working folder.
#ifndef GEARLOFT_FILES_PATHS_H
#define GEARLOFT_FILES_PATHS_H

// The level files.
constexpr const char* LEVELS_FOLDER = "levels/";
// The folder the choosers start in, beside the levels.
constexpr const char* SAVES_FOLDER = "saves";
// The player's records of bests (files/records.h), in the saves folder.
constexpr const char* RECORDS_FILE = "saves/records.txt";

#endif
