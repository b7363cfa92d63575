#include "level/level_file.h"

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "level/device_record.h"
#include "level/level.h"
#include "toolkit/better_reader.h"

namespace {

// The first character of a type token; an empty token gives type 0.
unsigned char type_of(const std::string& token) { return token.empty() ? 0 : static_cast<unsigned char>(token[0]); }

// Reads one item's own fields after keyword, x and y; false when a number is
// out of range. Unknown keywords have no fields.
bool read_item(Level& level, BetterReader& reader, const std::string& keyword, int x, int y, bool with_converters) {
    if (keyword == "spawner") {
        unsigned char type = type_of(reader.get_string());
        int period = reader.get_int();
        if (!file_values_ok({x, y, period}))
            return false;
        level.spawners.push_back(std::make_unique<Spawner>(x, y, type, period));
    } else if (keyword == "catcher") {
        int width = reader.get_int();
        int height = reader.get_int();
        std::string pattern = reader.get_string();
        if (!file_values_ok({x, y, width, height}))
            return false;
        level.catchers.push_back(std::make_unique<Catcher>(x, y, width, height, pattern));
    } else if (keyword == "conveyer") {
        int length = reader.get_int();
        int direction = reader.get_int();
        int period = reader.get_int();
        if (!file_values_ok({x, y, length, period}))
            return false;
        level.devices.push_back(std::make_unique<DeviceConveyer>(x, y, true, length, direction, period));
    } else if (keyword == "converter") {
        unsigned char from = type_of(reader.get_string());
        unsigned char to = type_of(reader.get_string());
        if (!file_values_ok({x, y}))
            return false;
        if (with_converters)
            level.devices.push_back(std::make_unique<DeviceConverter>(x, y, false, from, to, &level));
    }
    return true;
}

} // namespace

void fail_load(Level& level, LoadProblem problem, const std::string& message) {
    level.load_problem = problem;
    level.load_error = message;
}

bool read_level_items(Level& level, const std::string& name, bool with_converters) {
    if (name.size() > LEVEL_NAME_MAX) {
        fail_load(level, LoadProblem::unreadable, "Level file name too long: " + name);
        return false;
    }
    // A NUL would end the path early and open some other file.
    if (name.find('\0') != std::string::npos) {
        fail_load(level, LoadProblem::unreadable, "Invalid level file name");
        return false;
    }
    std::string path = LEVELS_FOLDER + name;
    BetterReader reader(path.c_str());
    if (!reader.is_open()) {
        fail_load(level, LoadProblem::unreadable, "Cannot open level file: " + path);
        return false;
    }
    reader.get_line(); // description, for the level list
    reader.get_line(); // difficulty, for the level list
    int count = reader.get_int();
    // A count larger than the items present ends at the end of the file.
    for (int item = 1; item <= count && !reader.at_end(); ++item) {
        std::string keyword = reader.get_string();
        int x = reader.get_int();
        int y = reader.get_int();
        if (!read_item(level, reader, keyword, x, y, with_converters)) {
            fail_load(level, LoadProblem::bad_level_file,
                      "Level file " + path + ": item " + std::to_string(item) + " (" + keyword +
                          ") has a number out of range");
            return false;
        }
    }
    return true;
}

void load_level_file(Level& level, const char* name) {
    level.level_name = name;
    read_level_items(level, level.level_name, true);
}
