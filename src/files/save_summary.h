// What the load chooser shows beside a save's file name, read without
// loading the save: the description of the level it names and the file's
// date. A folder may hold many saves, some broken or hostile, so only the
// start of each file is read, and each level's description once.
#ifndef GEARLOFT_FILES_SAVE_SUMMARY_H
#define GEARLOFT_FILES_SAVE_SUMMARY_H

#include <map>
#include <string>

struct SaveSummary {
    // The level's description, "missing level: NAME" when its file is not
    // in the levels folder, or empty when the file names no level at all.
    std::string description;
    // When the file was last written, as "YYYY-MM-DD HH:MM" local time;
    // empty for anything but a plain file.
    std::string date;
};

// Longest description kept; longer ones end in "...".
constexpr std::size_t SUMMARY_DESCRIPTION_MAX = 120;

// The summary of the file at `path`. `descriptions` keeps the descriptions
// already read, by level name, for the next files of the same listing.
SaveSummary read_save_summary(const std::string& path, std::map<std::string, std::string>& descriptions);

#endif
