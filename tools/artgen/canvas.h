// A drawing surface for the art generator: everything is painted at a higher
// resolution with SDL_gfx and SDL_ttf and then averaged down, which gives soft
// edges on pictures as small as a 25 x 25 block.
#ifndef GEARLOFT_ARTGEN_CANVAS_H
#define GEARLOFT_ARTGEN_CANVAS_H

#include <SDL.h>
#include <SDL_ttf.h>

#include <initializer_list>
#include <map>
#include <string>
#include <utility>

struct Rgb {
    int r;
    int g;
    int b;
};

// The see-through colour of every keyed picture.
constexpr Rgb MAGENTA{255, 0, 255};

// t = 0 gives a, t = 1 gives b.
Rgb mix(Rgb a, Rgb b, double t);
// Factor below 1 darkens, above 1 brightens (towards white).
Rgb shade(Rgb c, double factor);

struct Pt {
    double x;
    double y;
};

enum class Align { left, centre, right };

// Fonts of the generator, opened once per file and size.
class FontShelf {
public:
    explicit FontShelf(std::string dir);
    ~FontShelf();
    FontShelf(const FontShelf&) = delete;
    FontShelf& operator=(const FontShelf&) = delete;
    TTF_Font* get(const char* file, int size);
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
    std::map<std::pair<std::string, int>, TTF_Font*> open_;
};

// The typefaces used by the art (all from DejaVu).
struct Face {
    const char* file;
    int size;
};
constexpr const char* SANS_BOLD = "DejaVuSans-Bold.ttf";
constexpr const char* SANS = "DejaVuSans.ttf";
constexpr const char* SERIF_BOLD = "DejaVuSerif-Bold.ttf";
constexpr const char* MONO = "DejaVuSansMono.ttf";
constexpr const char* MONO_BOLD = "DejaVuSansMono-Bold.ttf";

class Canvas {
public:
    // A w x h picture, filled with `fill`. A keyed canvas treats magenta as
    // see-through when it is averaged down.
    Canvas(int w, int h, Rgb fill, bool keyed, int scale = 4);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return w_; }
    int height() const { return h_; }
    bool keyed() const { return keyed_; }

    // Coordinates are picture pixels; boxes run from (x0, y0) up to but not
    // including (x1, y1); pixel centres lie at +0.5.
    void box(double x0, double y0, double x1, double y1, Rgb c, int alpha = 255);
    void round_box(double x0, double y0, double x1, double y1, double radius, Rgb c, int alpha = 255);
    void disc(double cx, double cy, double r, Rgb c, int alpha = 255);
    void oval(double cx, double cy, double rx, double ry, Rgb c, int alpha = 255);
    void poly(std::initializer_list<Pt> points, Rgb c, int alpha = 255);
    void line(double x0, double y0, double x1, double y1, double width, Rgb c, int alpha = 255);
    void vgradient(double x0, double y0, double x1, double y1, Rgb top, Rgb bottom);
    // A raised (or, with `sunk`, recessed) rectangle with a one-pixel bevel.
    void bevel_box(double x0, double y0, double x1, double y1, Rgb c, bool sunk = false);
    // Text with its top at y; x is its left edge, centre or right edge.
    void text(const char* s, Face face, double x, double y, Rgb c, Align align = Align::left);
    int text_width(const char* s, Face face);
    // A copy of another picture, at pixel (x, y).
    void paste(SDL_Surface* picture, int x, int y);

    // The finished picture at its real size (32-bit, opaque; see-through
    // pixels of a keyed canvas are exactly magenta). The caller frees it.
    SDL_Surface* finish() const;

    static void set_fonts(FontShelf* shelf) { fonts_ = shelf; }

private:
    Sint16 sx(double v) const;
    void sample_average(int px, int py, Uint8* out) const;

    int w_;
    int h_;
    bool keyed_;
    int k_;
    SDL_Surface* big_;
    static FontShelf* fonts_;
};

#endif
