// The picture cache: every picture drawn from a file is loaded the first time
// it is asked for and kept for the whole game, shared by everything that
// draws it. A file that cannot be loaded is remembered as missing and draws
// nothing (the drawing functions skip a null picture).
#ifndef GEARLOFT_TOOLKIT_PICTURES_H
#define GEARLOFT_TOOLKIT_PICTURES_H

#include <SDL.h>

// The picture of a file (relative to the working folder); with `keyed`,
// magenta is transparent. Null when the file cannot be loaded, and for no
// file (a null path).
SDL_Surface* cached_picture(const char* path, bool keyed);

// Frees every cached picture; the next request loads its file again. The
// game calls it before shutting SDL down, tests when they change folders.
void release_pictures();

#endif
