#include "files/level_file.h"

#include "files/device_record.h"
#include "kinds/converter.h"
#include "kinds/conveyer.h"
#include "level/placement.h"
#include "text/message_text.h"

namespace {

// The first character of a type token; an empty token gives type 0.
unsigned char type_of(const std::string& token) { return token.empty() ? 0 : static_cast<unsigned char>(token[0]); }

constexpr const char* OUT_OF_RANGE = "has a number out of range";
constexpr const char* OFF_THE_FLOOR = "does not fit the floor";

// A catcher judges a pattern of width x height cells, which lies in a frame
// one cell wide that must stay on the floor.
std::optional<std::string> catcher_problem(const Catcher& catcher) {
    long cells = static_cast<long>(catcher.width) * catcher.height;
    if (catcher.width < 1 || catcher.height < 1 || catcher.pattern.size() != static_cast<std::size_t>(cells))
        return "has a pattern of " + std::to_string(catcher.pattern.size()) + " cells, not " +
               std::to_string(catcher.width) + " x " + std::to_string(catcher.height);
    if (!catcher.is_valid())
        return OFF_THE_FLOOR;
    return std::nullopt;
}

// A fixed belt or a converter, placed (unless the converters are left out)
// when it stands where the player could have put it.
std::optional<std::string> place_device(Level& level, std::unique_ptr<Device> device, LevelConverters converters) {
    if (!fits_floor(*device, {device->x, device->y}))
        return OFF_THE_FLOOR;
    if (converters == LevelConverters::placed || &device->kind != &DeviceConverter::KIND)
        level.devices.push_back(std::move(device));
    return std::nullopt;
}

// Reads one item's own fields after keyword, x and y and adds it to the
// level; what is wrong with it when it holds a number out of range or would
// not fit the floor. Unknown keywords have no fields.
std::optional<std::string> read_item(Level& level, BetterReader& reader, const std::string& keyword, int x, int y,
                                     LevelConverters converters) {
    if (keyword == "spawner") {
        unsigned char type = type_of(reader.get_string());
        int period = reader.get_int();
        if (!file_values_ok({x, y, period}))
            return OUT_OF_RANGE;
        if (!on_floor(x, y))
            return OFF_THE_FLOOR;
        level.spawners.push_back(std::make_unique<Spawner>(x, y, type, period));
    } else if (keyword == "catcher") {
        int width = reader.get_int();
        int height = reader.get_int();
        std::string pattern = reader.get_string();
        if (!file_values_ok({x, y, width, height}))
            return OUT_OF_RANGE;
        auto catcher = std::make_unique<Catcher>(x, y, width, height, pattern);
        if (std::optional<std::string> problem = catcher_problem(*catcher))
            return problem;
        level.catchers.push_back(std::move(catcher));
    } else if (keyword == "conveyer") {
        int length = reader.get_int();
        int direction = reader.get_int();
        int period = reader.get_int();
        if (!file_values_ok({x, y, length, period}))
            return OUT_OF_RANGE;
        return place_device(level, std::make_unique<DeviceConveyer>(x, y, Mobility::fixed, length, direction, period),
                            converters);
    } else if (keyword == "converter") {
        unsigned char from = type_of(reader.get_string());
        unsigned char to = type_of(reader.get_string());
        if (!file_values_ok({x, y}))
            return OUT_OF_RANGE;
        return place_device(level, std::make_unique<DeviceConverter>(x, y, Mobility::movable, from, to), converters);
    }
    return std::nullopt;
}

// Why `name` cannot name a level file, or nothing. Saves are shared and name
// their level, so only a plain file name inside LEVELS_FOLDER will do, and the
// name is judged before anything is opened: some files elsewhere never end
// (/proc/self/pagemap) or wait for ever (a device, a pipe).
std::optional<std::string> level_name_problem(const std::string& name) {
    if (name.size() > LEVEL_NAME_MAX)
        return "Level file name too long: " + name;
    if (!plain_level_name(name))
        return std::string("Level file must be a plain file inside ") + LEVELS_FOLDER + ", not \"" +
               shortened_message(name, LEVEL_NAME_MAX) + "\"";
    return std::nullopt;
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

bool plain_level_name(const std::string& name) {
    // A zero byte would end the path early; either slash leads elsewhere.
    return !name.empty() && name.size() <= LEVEL_NAME_MAX && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::optional<LoadResult> read_level_items(Level& level, const std::string& name, const LevelOpener& open,
                                           LevelConverters converters, Par* par) {
    if (std::optional<std::string> problem = level_name_problem(name))
        return load_failure(LoadProblem::unreadable, *problem);
    std::string path = LEVELS_FOLDER + name;
    BetterReader reader = open(name);
    if (!reader.is_open())
        return load_failure(LoadProblem::unreadable, "Cannot open level file: " + path);
    reader.get_line(); // description, for the level list
    reader.get_line(); // difficulty, for the level list
    int count = reader.get_int();
    // A count larger than the items present ends at the end of the file.
    for (int item = 1; item <= count && !reader.at_end(); ++item) {
        if (item > LEVEL_ITEMS_MAX)
            return load_failure(LoadProblem::bad_level_file,
                                "Level file " + path + ": more than " + std::to_string(LEVEL_ITEMS_MAX) + " items");
        std::string keyword = reader.get_string();
        int x = reader.get_int();
        int y = reader.get_int();
        if (par != nullptr)
            note_par(*par, keyword, x, y);
        if (std::optional<std::string> problem = read_item(level, reader, keyword, x, y, converters))
            return load_failure(LoadProblem::bad_level_file, "Level file " + path + ": item " + std::to_string(item) +
                                                                 " (" + shortened_message(keyword, 40) + ") " +
                                                                 *problem);
    }
    return std::nullopt;
}

LoadResult read_level_file(const std::string& name, const LevelOpener& open) {
    auto level = std::make_unique<Level>();
    level->level_name = name;
    LoadResult result;
    if (std::optional<LoadResult> failure = read_level_items(*level, name, open, LevelConverters::placed, &result.par))
        return std::move(*failure);
    result.level = std::move(level);
    return result;
}

Par read_level_par(const std::string& name, const LevelOpener& open) {
    Par par;
    Level level;
    read_level_items(level, name, open, LevelConverters::left_out, &par);
    return par;
}
