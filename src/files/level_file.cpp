#include "files/level_file.h"

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "files/device_record.h"

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
            level.devices.push_back(std::make_unique<DeviceConverter>(x, y, false, from, to));
    }
    return true;
}

// A par item's numbers; a negative number sets nothing.
void note_par(Par& par, const std::string& keyword, int x, int y) {
    auto set = [](std::optional<int>& metric, int value) {
        if (value >= 0)
            metric = value;
    };
    if (keyword == "par") {
        set(par.steps, x);
        set(par.parts, y);
    } else if (keyword == "par_code") {
        set(par.code, x);
    }
}

} // namespace

LoadResult load_failure(LoadProblem problem, std::string message) {
    LoadResult result;
    result.problem = problem;
    result.message = std::move(message);
    return result;
}

BetterReader open_level_file(const std::string& name) { return BetterReader((LEVELS_FOLDER + name).c_str()); }

std::optional<LoadResult> read_level_items(Level& level, const std::string& name, const LevelOpener& open,
                                           bool with_converters, Par* par) {
    if (name.size() > LEVEL_NAME_MAX)
        return load_failure(LoadProblem::unreadable, "Level file name too long: " + name);
    // A NUL would end the path early and open some other file.
    if (name.find('\0') != std::string::npos)
        return load_failure(LoadProblem::unreadable, "Invalid level file name");
    std::string path = LEVELS_FOLDER + name;
    BetterReader reader = open(name);
    if (!reader.is_open())
        return load_failure(LoadProblem::unreadable, "Cannot open level file: " + path);
    reader.get_line(); // description, for the level list
    reader.get_line(); // difficulty, for the level list
    int count = reader.get_int();
    // A count larger than the items present ends at the end of the file.
    for (int item = 1; item <= count && !reader.at_end(); ++item) {
        std::string keyword = reader.get_string();
        int x = reader.get_int();
        int y = reader.get_int();
        if (par != nullptr)
            note_par(*par, keyword, x, y);
        if (!read_item(level, reader, keyword, x, y, with_converters))
            return load_failure(LoadProblem::bad_level_file, "Level file " + path + ": item " + std::to_string(item) +
                                                                 " (" + keyword + ") has a number out of range");
    }
    return std::nullopt;
}

LoadResult read_level_file(const std::string& name, const LevelOpener& open) {
    auto level = std::make_unique<Level>();
    level->level_name = name;
    if (std::optional<LoadResult> failure = read_level_items(*level, name, open, true))
        return std::move(*failure);
    LoadResult result;
    result.level = std::move(level);
    return result;
}

Par read_level_par(const std::string& name, const LevelOpener& open) {
    Par par;
    Level level;
    read_level_items(level, name, open, false, &par);
    return par;
}
