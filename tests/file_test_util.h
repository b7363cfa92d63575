// A scratch game folder for file tests: empty levels/ and saves/ folders,
// entered for the helper's lifetime so relative paths land inside it.
#ifndef GEARLOFT_TESTS_FILE_TEST_UTIL_H
#define GEARLOFT_TESTS_FILE_TEST_UTIL_H

#include <string>

#include "device_test_util.h"

class Level;

class GameDir {
public:
    GameDir();

    // Writes a file (path relative to the folder) with exactly these bytes.
    void write(const std::string& path, const std::string& text) const;
    // The bytes of a file, or an empty text when it cannot be read.
    std::string read(const std::string& path) const;

private:
    ArtDir dir_;
    ArtDir::Inside inside_;
};

// What a level holds, item after item: spawners, catchers, then each device's
// save record, marked when fixed.
std::string floor_items(Level& level);

#endif
