// Files that are written whole or not at all: saves and the records of bests.
#ifndef GEARLOFT_FILES_WHOLE_FILE_H
#define GEARLOFT_FILES_WHOLE_FILE_H

#include <string>

// Writes the text to a new file beside `path` and renames it over `path` only
// once it is complete and on the disk, so a crash, a full disk or a folder
// that cannot be written never costs the old file. False, with the system's
// reason in `reason`, when the file could not be written; no temporary file
// is left behind then. The new file gets the usual permissions.
bool replace_file(const std::string& path, const std::string& text, std::string& reason);

#endif
