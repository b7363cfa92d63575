#include "files/save_file.h"

#include "devices/device.h"
#include "files/device_record.h"
#include "files/whole_file.h"
#include "level/level.h"
#include "level/placement.h"

namespace {

// A row count and that many whole rows; stops early at the end of the file.
std::string read_code(BetterReader& reader) {
    std::string code;
    int rows = reader.get_int();
    for (int row = 0; row < rows && !reader.at_end(); ++row) {
        code += reader.get_whole_line();
        code += '\n';
    }
    return code;
}

void append_rows(std::string& text, const std::vector<std::string>& rows) {
    text += std::to_string(rows.size());
    text += '\n';
    for (const std::string& row : rows) {
        text += row;
        text += '\n';
    }
}

} // namespace

LoadResult read_save_file(BetterReader& save, const LevelOpener& open, const std::string& save_name) {
    auto level = std::make_unique<Level>();
    level->level_name = save.get_line();
    LoadResult result;
    if (std::optional<LoadResult> failure =
            read_level_items(*level, level->level_name, open, LevelConverters::left_out, &result.par))
        return std::move(*failure);
    std::string file = save_name.empty() ? "Save file" : "Save file " + save_name;
    // A save that ends before its "CODE" line meets the empty text at the end
    // of the file, which is no record either.
    int record = 0;
    for (std::string line = save.get_line(); line != "CODE"; line = save.get_line()) {
        if (++record > SAVE_RECORDS_MAX)
            return load_failure(LoadProblem::bad_save,
                                file + ": more than " + std::to_string(SAVE_RECORDS_MAX) + " device records");
        std::unique_ptr<Device> device = device_from_stub(line.c_str());
        if (!device)
            return load_failure(LoadProblem::invalid_record, INVALID_RECORD_MESSAGE);
        if (!fits_floor(*device, {device->x, device->y}))
            return load_failure(LoadProblem::bad_save, file + ": record " + std::to_string(record) + " (" +
                                                           device->get_save_stub() + ") does not fit the floor");
        level->devices.push_back(std::move(device));
    }
    level->init_code = read_code(save);
    level->cycle_code = read_code(save);
    result.level = std::move(level);
    return result;
}

LoadResult load_level(const char* file, LevelSource source) {
    if (source == LevelSource::level_file)
        return read_level_file(file);
    BetterReader save(file);
    if (!save.is_open())
        return load_failure(LoadProblem::unreadable, std::string("Cannot open save file: ") + file);
    return read_save_file(save, open_level_file, file);
}

std::string save_text(Level& level, const std::string& code) {
    std::string text = level.level_name + "\n";
    for (auto& device : level.devices)
        if (!device->fixed)
            text += device->get_save_stub() + "\n";
    return text + "CODE\n" + code;
}

bool save_level(Level& level, const char* path, const std::string& code, std::string* failure) {
    std::string reason;
    bool ok = replace_file(path, save_text(level, code), reason);
    if (!ok && failure != nullptr)
        *failure = std::string("Could not save to ") + path + ": " + reason;
    return ok;
}

std::string program_save_text(const std::vector<std::string>& init_rows, const std::vector<std::string>& cycle_rows) {
    std::string text;
    append_rows(text, init_rows);
    append_rows(text, cycle_rows);
    return text;
}

std::vector<std::string> code_rows(const std::string& code) {
    std::vector<std::string> rows;
    std::size_t start = 0;
    while (start < code.size()) {
        std::size_t end = code.find('\n', start);
        if (end == std::string::npos)
            end = code.size();
        rows.push_back(code.substr(start, end - start));
        start = end + 1;
    }
    return rows;
}
