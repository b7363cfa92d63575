#include "files/levels_folder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "files/better_reader.h"
#include "files/level_file.h"
#include "files/paths.h"

namespace {
// Longest part of a line the list reads.
constexpr size_t LINE_MAX = 255;

// Line `index` (0 for the first) of a level file, without its line end, at
// most 255 characters; empty when the file cannot be read.
std::string level_file_line(const std::string& name, int index) {
    BetterReader reader = open_level_file(name);
    for (int i = 0; i < index; ++i)
        reader.get_line();
    std::string line = reader.get_line();
    if (line.size() > LINE_MAX)
        line.resize(LINE_MAX);
    return line;
}
} // namespace

std::string get_level_desc_from_file(const std::string& name) { return level_file_line(name, 0); }

int get_level_difficulty_from_file(const std::string& name) {
    return std::atoi(level_file_line(name, 1).c_str());
}

std::vector<std::string> find_levels() {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(LEVELS_FOLDER, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind_ec;
        std::string name = it->path().filename().string();
        if (it->path().extension() == ".lvl" && it->is_regular_file(kind_ec) && name.size() <= LEVEL_NAME_MAX)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> order_by_difficulty(const std::vector<std::string>& found) {
    std::vector<std::pair<int, const std::string*>> rated;
    for (const std::string& name : found)
        rated.emplace_back(get_level_difficulty_from_file(name), &name);
    std::vector<std::string> shown;
    for (int d = 1; d <= 9; ++d)
        for (const auto& [difficulty, name] : rated)
            if (difficulty == d)
                shown.push_back(*name);
    return shown;
}
