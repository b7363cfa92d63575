// The picture cache: every picture drawn from a file is loaded the first time
// it is asked for and kept for the whole game, shared by everything that
// draws it. A file that cannot be loaded is remembered as missing and draws
// nothing (the drawing functions skip a null picture).
//
// The files are palettised, and blitting palette pixels onto the 16-bit
// screen converts every pixel on every draw. So the cache hands out a copy in
// the screen's format, made once, and keeps beside it the copies the drawing
// functions need: turned ones, and faded ones that blend from the file's own
// colours. Every copy draws onto the screen exactly as the loaded file
// would; a picture without such a copy is handed out as loaded.
#ifndef GEARLOFT_TOOLKIT_PICTURES_H
#define GEARLOFT_TOOLKIT_PICTURES_H

#include <SDL.h>

#include "toolkit/toolkit.h"

// The picture of a file (relative to the working folder), its magenta
// see-through or not. Null when the file cannot be loaded, and for no file
// (a null path).
SDL_Surface* cached_picture(const char* path, Magenta magenta = Magenta::opaque);

// Frees every cached picture; the next request loads its file again. The
// game calls it before shutting SDL down, tests when they change folders.
void release_pictures();

// A picture turned by a multiple of 90 degrees, and the part of it to draw
// as if the whole were drawn (see draw_image_rotated).
struct TurnedPicture {
    SDL_Surface* loaded; // turned from the file's own picture
    SDL_Surface* shown;  // the same in the screen's format, or `loaded`
    SDL_Rect part;
};

// The cached picture `picture` (as cached_picture handed it out) turned
// counter-clockwise by `angle` degrees, made on first use. Null for a
// surface that did not come from the cache, or when the turn failed.
const TurnedPicture* cached_turn(SDL_Surface* picture, int angle);

// A copy of the cached picture `picture` with its alpha set to `alpha`, which
// blends exactly as the loaded file does with that alpha. Null for a surface
// that did not come from the cache.
SDL_Surface* cached_fade(SDL_Surface* picture, int alpha);

// A copy of `picture` in the screen's format that draws onto the screen
// exactly as `picture` does, keeping its colour key; null when there is no
// screen, when the picture carries alpha of its own, or when some colour of
// the picture would become the key's colour in the screen's format.
Picture exact_screen_copy(SDL_Surface* picture);

#endif
