#ifndef GEARLOFT_SCREENS_FILE_CHOOSER_MODEL_H
#define GEARLOFT_SCREENS_FILE_CHOOSER_MODEL_H

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "files/save_summary.h"

enum class ChooserMode { Open, Save };

// What the save and open choosers know and decide, apart from their drawing:
// the folder shown, its listing under the chosen filter, and the rules for
// accepting a typed name.
class FileChooserModel {
public:
    struct Entry {
        std::string name;
        bool is_folder;
        // For a file: its level's description and its date.
        SaveSummary summary;
    };

    enum class Verdict {
        Accepted,      // `path` is the chosen file
        Refused,       // `message` says why; the chooser stays open
        AskReplace,    // saving over `path` needs the player's yes first
        EnteredFolder, // the name was a folder, now shown
    };

    struct Answer {
        Verdict verdict;
        std::filesystem::path path;
        std::string message;
    };

    static constexpr int FILTER_COUNT = 2;
    static const char* const FILTER_NAMES[FILTER_COUNT];
    static constexpr const char* DEFAULT_EXTENSION = ".sav";
    static constexpr const char* PARENT_ENTRY = "..";

    FileChooserModel(ChooserMode mode, const std::filesystem::path& start_folder);

    ChooserMode mode() const { return mode_; }
    const std::filesystem::path& folder() const { return folder_; }
    const std::vector<Entry>& entries() const { return entries_; }
    int filter() const { return filter_; }

    void set_filter(int index);
    // Shows a sub-folder, or the parent for "..". Unknown names change nothing.
    void enter(const std::string& folder_name);
    // Reads the folder again.
    void refresh();
    Answer accept(const std::string& typed_name);

    // An entry as a row of the list, `columns` characters of a fixed-width
    // font at most: a folder in brackets; a file's name, then its level's
    // description, then its date in the last columns.
    std::string row_text(const Entry& entry, std::size_t columns) const;

private:
    bool passes_filter(const std::filesystem::path& file) const;

    ChooserMode mode_;
    std::filesystem::path folder_;
    int filter_ = 0;
    std::vector<Entry> entries_;
    // The files' column: as wide as their longest name, within bounds.
    std::size_t name_columns_ = 0;
};

#endif
