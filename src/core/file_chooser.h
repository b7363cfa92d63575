#ifndef GEARLOFT_CORE_FILE_CHOOSER_H
#define GEARLOFT_CORE_FILE_CHOOSER_H

#include <SDL.h>

#include <optional>
#include <string>

#include "core/file_chooser_model.h"

// The folder the choosers start in, beside the levels.
constexpr const char* SAVES_FOLDER = "saves";

// Shows the "Open" or "Save" chooser over the window until the player picks a
// file or cancels. Returns the chosen path, or nothing when cancelled. For
// saving, replacing an existing file has already been confirmed. The list
// shows each save's level and date beside its name. A proposed name stands
// in the name field as if selected: Enter takes it, typing replaces it.
std::optional<std::string> choose_file(SDL_Surface* screen, ChooserMode mode, const char* start_folder = SAVES_FOLDER,
                                       const std::string& proposed_name = "");

#endif
