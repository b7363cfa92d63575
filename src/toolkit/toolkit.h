#ifndef GEARLOFT_TOOLKIT_TOOLKIT_H
#define GEARLOFT_TOOLKIT_TOOLKIT_H

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstddef>
#include <map>
#include <string>
#include <memory>

#include "canvas/canvas.h"

// The one font of every text on the game's screens, in the working directory.
constexpr const char* FONT_FILE = "dina.fon";

// Open fonts by point size. A size is opened the first time it is drawn and
// stays open; a size that failed to open is remembered as null and skipped.
extern std::map<int, TTF_Font*> fonts;

// Closes every cached font and forgets the rendered texts; the next text
// opens them again.
void close_fonts();

SDL_Rect make_rect(int x, int y, int w, int h);
// Fills a rectangle of dst with the colour (r, g, b), each cut to 8 bits.
void fill_rect(SDL_Surface* dst, int x, int y, int w, int h, int r, int g, int b);
// The pixel value at (x, y) of a surface, in its own format.
Uint32 pixel_at(SDL_Surface* surface, int x, int y);

// A picture from the picture cache (toolkit/pictures.h) is drawn from the
// copies the cache keeps for it; any other surface as it is.
void draw_image(SDL_Surface* src, int x, int y, SDL_Surface* dst);
void draw_image_fade(SDL_Surface* src, int x, int y, SDL_Surface* dst, int alpha);
// Draws src turned counter-clockwise by a multiple of 90 degrees. Exact quarter
// turns are done the long way round, which keeps every row and column.
void draw_image_rotated(SDL_Surface* src, int angle, int x, int y, SDL_Surface* dst);

// Texts of any length are safe to draw: only the start that fits
// TEXT_WIDTH_MAX pixels is drawn.
constexpr int TEXT_WIDTH_MAX = 8192;
void draw_text(const char* text, int size, int r, int g, int b, int x, int y, SDL_Surface* dst);
void draw_text_center(const char* text, int size, int r, int g, int b, int x, int y, SDL_Surface* dst);
void draw_text_int(int value, int size, int r, int g, int b, int x, int y, SDL_Surface* dst);
void draw_text_int_center(int value, int size, int r, int g, int b, int x, int y, SDL_Surface* dst);

// How wide the text is drawn at a size (at most TEXT_WIDTH_MAX), and how far
// apart lines of that size stand; 0 without the font.
int text_width(const char* text, int size);
int text_line_height(int size);
// The longest start of `text` that, with `suffix` after it, is at most
// `width` pixels wide at a size, and the suffix (an ellipsis for a cut text).
std::string cut_to_width(const std::string& text, int size, int width, const char* suffix);

// Rendered texts are kept for later draws, this many at most.
constexpr std::size_t KEPT_TEXTS_MAX = 256;
std::size_t kept_text_count();

// The font of a size, opening it on first use; null when it cannot be opened.
TTF_Font* font_of_size(int size);

// Owns a picture and frees it when it goes.
struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const {
        if (s)
            SDL_FreeSurface(s);
    }
};
using Picture = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Loads a picture, its magenta see-through or not; null when missing.
Picture load_picture(const char* path, Magenta magenta = Magenta::opaque);
// A w x h picture of one colour in the format of `like`, for fading over it;
// null when it cannot be made.
Picture plain_picture(SDL_Surface* like, int w, int h, int r, int g, int b);
// A copy of src turned counter-clockwise by `angle` degrees; `part` is the
// piece of it to draw, placed as if the whole copy were drawn. Null when
// SDL_gfx cannot turn it.
Picture turned_picture(SDL_Surface* src, int angle, SDL_Rect& part);
void set_magenta_key(SDL_Surface* picture);

#endif
