#include "screens/file_chooser_model.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {
constexpr std::size_t NAME_COLUMNS_MIN = 12;
constexpr std::size_t NAME_COLUMNS_MAX = 28;
} // namespace

const char* const FileChooserModel::FILTER_NAMES[FILTER_COUNT] = {"Gearloft Saves (*.sav)", "All Files (*.*)"};

FileChooserModel::FileChooserModel(ChooserMode mode, const fs::path& start_folder) : mode_(mode) {
    std::error_code ec;
    fs::create_directories(start_folder, ec);
    folder_ = fs::absolute(start_folder, ec).lexically_normal();
    if (ec)
        folder_ = start_folder;
    refresh();
}

void FileChooserModel::set_filter(int index) {
    if (index < 0 || index >= FILTER_COUNT || index == filter_)
        return;
    filter_ = index;
    refresh();
}

bool FileChooserModel::passes_filter(const fs::path& file) const {
    return filter_ == 1 || file.extension() == DEFAULT_EXTENSION;
}

void FileChooserModel::refresh() {
    std::vector<Entry> folders;
    std::vector<Entry> files;
    // Many saves name the same level: its description is read once.
    std::map<std::string, std::string> descriptions;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind_ec;
        std::string name = it->path().filename().string();
        if (it->is_directory(kind_ec))
            folders.push_back({name, true, {}});
        else if (passes_filter(it->path()))
            files.push_back({name, false, read_save_summary(it->path().string(), descriptions)});
    }
    auto by_name = [](const Entry& a, const Entry& b) { return a.name < b.name; };
    std::sort(folders.begin(), folders.end(), by_name);
    std::sort(files.begin(), files.end(), by_name);

    entries_.clear();
    if (folder_.has_parent_path() && folder_.parent_path() != folder_)
        entries_.push_back({PARENT_ENTRY, true, {}});
    entries_.insert(entries_.end(), folders.begin(), folders.end());
    entries_.insert(entries_.end(), files.begin(), files.end());
    name_columns_ = NAME_COLUMNS_MIN;
    for (const Entry& file : files)
        name_columns_ = std::clamp(file.name.size(), name_columns_, NAME_COLUMNS_MAX);
}

void FileChooserModel::enter(const std::string& folder_name) {
    fs::path next = folder_name == PARENT_ENTRY ? folder_.parent_path() : folder_ / folder_name;
    std::error_code ec;
    if (folder_name.empty() || !fs::is_directory(next, ec))
        return;
    folder_ = next.lexically_normal();
    refresh();
}

FileChooserModel::Answer FileChooserModel::accept(const std::string& typed_name) {
    if (typed_name.empty())
        return {Verdict::Refused, {}, "Type a file name."};
    fs::path path = folder_ / typed_name;
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        enter(typed_name);
        return {Verdict::EnteredFolder, folder_, ""};
    }
    if (!path.has_extension())
        path += DEFAULT_EXTENSION;
    path = path.lexically_normal();
    std::string shown = path.filename().string();

    if (mode_ == ChooserMode::Open) {
        if (!fs::is_regular_file(path, ec))
            return {Verdict::Refused, path, "File not found: " + shown};
        return {Verdict::Accepted, path, ""};
    }
    if (!fs::is_directory(path.parent_path(), ec))
        return {Verdict::Refused, path, "Folder not found: " + path.parent_path().string()};
    if (fs::exists(path, ec)) {
        if (!fs::is_regular_file(path, ec))
            return {Verdict::Refused, path, shown + " cannot be replaced."};
        return {Verdict::AskReplace, path, shown + " already exists. Replace it? (Y / N)"};
    }
    return {Verdict::Accepted, path, ""};
}

namespace {
constexpr std::size_t GAP = 2;

// The text cut to `width` characters, ending in "..." when cut.
std::string cut(const std::string& text, std::size_t width) {
    if (text.size() <= width)
        return text;
    return width > 3 ? text.substr(0, width - 3) + "..." : text.substr(0, width);
}
} // namespace

std::string FileChooserModel::row_text(const Entry& entry, std::size_t columns) const {
    if (entry.is_folder)
        return cut("[" + entry.name + "]", columns);
    const std::string& date = entry.summary.date;
    if (entry.summary.description.empty() && date.empty())
        return cut(entry.name, columns);
    if (columns < name_columns_ + date.size() + 2 * GAP + 4)
        return cut(entry.name, columns);
    std::string row = cut(entry.name, name_columns_);
    row.resize(name_columns_ + GAP, ' ');
    std::size_t room = columns - row.size() - GAP - date.size();
    row += cut(entry.summary.description, room);
    row.resize(columns - date.size(), ' ');
    return row + date;
}
