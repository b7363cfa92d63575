// The promise every loaded level keeps: its save loads back and saves the
// very same bytes again. Shared by the malformed-file tests and the fuzzer,
// so it uses no test framework.
#ifndef GEARLOFT_TESTS_FILE_ROUND_TRIP_H
#define GEARLOFT_TESTS_FILE_ROUND_TRIP_H

#include <string>

class Level;

// The program part of a save for the level's own code texts.
std::string saved_program(const Level& level);

// Saves the level to `first`, loads that, saves it to `second`; returns what
// broke the promise, or an empty text.
std::string round_trip_problem(Level& level, const char* first, const char* second);

#endif
