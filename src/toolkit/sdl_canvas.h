// The canvas (canvas/canvas.h) on an SDL surface: pictures come from the
// picture cache, texts from the font cache, and each operation draws exactly
// the pixels the toolkit's own drawing function of that name draws.
#ifndef GEARLOFT_TOOLKIT_SDL_CANVAS_H
#define GEARLOFT_TOOLKIT_SDL_CANVAS_H

#include <SDL.h>

#include "canvas/canvas.h"
#include "toolkit/toolkit.h"

class SdlCanvas : public Canvas {
public:
    // Draws onto `target`, which must outlive the canvas; a null target
    // draws nothing.
    explicit SdlCanvas(SDL_Surface* target) : target_(target) {}

    SDL_Surface* surface() const { return target_; }

    void draw_picture(const PictureFile& picture, int x, int y) override;
    void draw_picture_part(const PictureFile& picture, const PixelRect& part, int x, int y) override;
    void draw_turned_picture(const PictureFile& picture, int degrees, int x, int y) override;
    void draw_faded_picture(const PictureFile& picture, int x, int y, int alpha) override;
    void fill(const PixelRect& area, Colour colour) override;
    void wash(const PixelRect& area, Colour colour, int alpha) override;
    void draw_text(const std::string& text, int size, Colour colour, int x, int y) override;
    void draw_centred_text(const std::string& text, int size, Colour colour, int x, int y) override;
    int text_width(const std::string& text, int size) override;

private:
    SDL_Surface* target_;
    // The last wash's plain picture, for the next cell of the same colour.
    Picture wash_;
    PixelRect wash_size_{};
    Colour wash_colour_{};
};

// The cached picture of a file (see toolkit/pictures.h).
SDL_Surface* picture_of(const PictureFile& picture);

#endif
