// The one-line save records of the devices: a kind letter a to g, then
// comma-separated numbers. Each kind writes its record with its own format
// string (see DeviceKind) and is read back here with the same one.
#ifndef GEARLOFT_FILES_DEVICE_RECORD_H
#define GEARLOFT_FILES_DEVICE_RECORD_H

#include <initializer_list>
#include <memory>

class Device;

// The message box shown when a save holds a line that is no device record.
constexpr const char* INVALID_RECORD_TITLE = "Error!";
constexpr const char* INVALID_RECORD_MESSAGE = "Error loading saved game: Invalid device type!";

// Coordinates, sizes and periods read from level and save files must lie
// within this many cells or steps either side of zero. The floor is 26 x 22,
// so no playable value comes near it; a larger one would make belts loop for
// ever and overflow pixel positions.
constexpr int FILE_VALUE_LIMIT = 10000;
inline bool file_values_ok(std::initializer_list<int> values) {
    for (int value : values)
        if (value < -FILE_VALUE_LIMIT || value > FILE_VALUE_LIMIT)
            return false;
    return true;
}

// A new device (not fixed) from one record, named from its number for the
// scriptable kinds; null when the line is no record: an unknown letter, an
// empty line, missing or unreadable fields, a value out of range, or a
// negative number for a kind that takes a name.
std::unique_ptr<Device> device_from_stub(const char* line);

#endif
