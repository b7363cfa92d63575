#ifndef GEARLOFT_SCREENS_FILE_CHOOSER_H
#define GEARLOFT_SCREENS_FILE_CHOOSER_H

#include <SDL.h>

#include <optional>
#include <string>

#include "files/paths.h"
#include "screens/file_chooser_model.h"

// Shows the "Open" or "Save" chooser over the window until the player picks a
// file or cancels. Returns the chosen path, or nothing when cancelled. For
// saving, replacing an existing file has already been confirmed. The list
// shows each save's level and date beside its name. A proposed name stands
// in the name field as if selected: Enter takes it, typing replaces it.
std::optional<std::string> choose_file(SDL_Surface* screen, ChooserMode mode, const char* start_folder = SAVES_FOLDER,
                                       const std::string& proposed_name = "");

#endif
