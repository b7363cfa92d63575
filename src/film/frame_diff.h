// What changed from one picture of a film to the next. The pictures are
// 16-bit surfaces of one size; each frame of a GIF stores only the rectangle
// round the pixels that changed.
#ifndef GEARLOFT_FILM_FRAME_DIFF_H
#define GEARLOFT_FILM_FRAME_DIFF_H

#include <SDL.h>

#include <vector>

#include "canvas/canvas.h"

// Row y of a 16-bit surface.
inline const Uint16* pixel_row(const SDL_Surface* picture, int y) {
    return reinterpret_cast<const Uint16*>(static_cast<const Uint8*>(picture->pixels) + y * picture->pitch);
}

class FrameDiff {
public:
    FrameDiff(int width, int height);

    // Whether no picture has been kept yet: all of the next one is new.
    bool first() const { return first_; }
    // The smallest rectangle holding every pixel of `picture` that differs
    // from the picture kept last (the whole picture for the first); w and h
    // are 0 when none does.
    PixelRect changes(const SDL_Surface* picture) const;
    // Row y of the picture kept last.
    const Uint16* kept_row(int y) const { return &kept_[static_cast<std::size_t>(y) * width_]; }
    // Keeps the picture for the next comparison; `changed` holds every pixel
    // that differs from the picture kept before (as `changes` gave it).
    void keep(const SDL_Surface* picture, const PixelRect& changed);

private:
    int width_;
    int height_;
    bool first_ = true;
    std::vector<Uint16> kept_;
};

#endif
