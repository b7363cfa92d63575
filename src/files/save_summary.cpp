#include "files/save_summary.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <fstream>

#include "files/level_file.h"
#include "text/message_text.h"

namespace {
std::string date_of(const struct stat& info) {
    std::tm local{};
    time_t when = info.st_mtime;
    if (localtime_r(&when, &local) == nullptr)
        return "";
    char text[32];
    return std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local) > 0 ? text : "";
}

// The first line of the file if it is short enough to be a level's name;
// nothing past that is read.
std::string first_line(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (int c = in.get(); c != EOF && c != '\n'; c = in.get()) {
        if (line.size() > LEVEL_NAME_MAX)
            return "";
        line += static_cast<char>(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

// A plain file name inside the levels folder, as the game's saves write it,
// and printable.
bool is_level_name(const std::string& name) {
    return plain_level_name(name) &&
           std::none_of(name.begin(), name.end(), [](unsigned char c) { return c < ' ' || c == 0x7f; });
}

std::string description_of(const std::string& level_name) {
    BetterReader level = open_level_file(level_name);
    if (!level.is_open())
        return "missing level: " + level_name;
    return shortened_message(level.get_line(), SUMMARY_DESCRIPTION_MAX);
}
} // namespace

SaveSummary read_save_summary(const std::string& path, std::map<std::string, std::string>& descriptions) {
    SaveSummary summary;
    struct stat info;
    // Only plain files: a pipe or a device could block the chooser.
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return summary;
    summary.date = date_of(info);
    std::string level_name = first_line(path);
    if (!is_level_name(level_name))
        return summary;
    auto known = descriptions.find(level_name);
    if (known == descriptions.end())
        known = descriptions.emplace(level_name, description_of(level_name)).first;
    summary.description = known->second;
    return summary;
}
