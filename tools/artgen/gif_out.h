// Writes finished pictures as 8-bit palettised GIF files.
#ifndef GEARLOFT_ARTGEN_GIF_OUT_H
#define GEARLOFT_ARTGEN_GIF_OUT_H

#include <SDL.h>

#include <string>

// Palette entry 0 is always magenta. In a keyed picture it marks the
// see-through pixels and is the GIF's transparent colour; in any other picture
// no pixel uses it. SDL_gfx gives every rotated copy of an 8-bit picture the
// colour key of entry 0, so this keeps turned pictures solid and their spare
// border row and column see-through.
bool write_gif(SDL_Surface* picture, bool keyed, const std::string& path);

#endif
