// The one failure that ends the game: a save file holding a line that is no
// device record. The player sees a message box, the message also goes to
// standard error, and the game ends with exit status 1.
#ifndef GEARLOFT_SCREENS_FATAL_MESSAGE_H
#define GEARLOFT_SCREENS_FATAL_MESSAGE_H

#include <SDL.h>

struct LoadResult;

// What the caller of a level load does next.
enum class LoadOutcome {
    open,       // the level loaded: run it
    show_error, // the file could not be used: show its message, keep going
    fatal,      // the save is corrupt: `fatal_message` with the title
                // INVALID_RECORD_TITLE and the load's message
};
LoadOutcome load_outcome(const LoadResult& loaded);

// Draws a box with a title bar and one line of text in the middle of the
// window-sized surface.
void draw_message_box(SDL_Surface* screen, const char* title, const char* text);

// Shows the box (when there is a window) until a key, a click or the window's
// close button, writes "title: text" to standard error and ends the process
// with status 1.
[[noreturn]] void fatal_message(SDL_Surface* screen, const char* title, const char* text);

#endif
