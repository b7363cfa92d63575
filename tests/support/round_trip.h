// The promise every loaded level keeps: its save text loads back and gives
// the very same text again. Shared by the malformed-file tests and the
// fuzzer, so it uses no test framework.
#ifndef GEARLOFT_TESTS_SUPPORT_ROUND_TRIP_H
#define GEARLOFT_TESTS_SUPPORT_ROUND_TRIP_H

#include <string>

#include "files/level_file.h"

// Saves the level as text, loads that (the level file through `open`) and
// saves again; returns what broke the promise, or an empty text.
std::string round_trip_problem(Level& level, const LevelOpener& open);

// The program part of a level's save, as the game writes it.
std::string saved_program(const Level& level);

#endif
