// What the floor and its devices draw onto. They name their pictures by
// file and say where and how to draw them; the screens draw with SDL
// (toolkit/sdl_canvas.h), and anything else that wants the floor's picture
// (a test, a recording of a run) implements these few operations itself.
#ifndef GEARLOFT_CANVAS_CANVAS_H
#define GEARLOFT_CANVAS_CANVAS_H

#include <string>

// Each part 0 to 255; only the low eight bits count.
struct Colour {
    int r;
    int g;
    int b;
};

// Whether a picture's magenta (255, 0, 255) pixels let what lies beneath show.
enum class Magenta { opaque, see_through };

// A picture file of the game's, relative to its working folder
// ("img/pusher.gif"); a null path is no picture. A picture that cannot be
// loaded draws nothing.
struct PictureFile {
    const char* path;
    Magenta magenta = Magenta::opaque;
};

// A rectangle of pixels: its top-left corner, its width and its height.
struct PixelRect {
    int x;
    int y;
    int w;
    int h;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // The picture with its top-left corner at (x, y).
    virtual void draw_picture(const PictureFile& picture, int x, int y) = 0;
    // Only the part `part` of the picture (in the picture's own pixels),
    // where it would be if the whole picture were drawn at (x, y).
    virtual void draw_picture_part(const PictureFile& picture, const PixelRect& part, int x, int y) = 0;
    // The picture turned counter-clockwise by a multiple of 90 degrees, its
    // turned copy's top-left corner at (x, y).
    virtual void draw_turned_picture(const PictureFile& picture, int degrees, int x, int y) = 0;
    // The picture blended over what lies beneath: alpha 0 leaves that as it
    // is, 255 covers it.
    virtual void draw_faded_picture(const PictureFile& picture, int x, int y, int alpha) = 0;
    virtual void fill(const PixelRect& area, Colour colour) = 0;
    // A rectangle of one colour blended over what lies beneath, as a faded
    // picture is.
    virtual void wash(const PixelRect& area, Colour colour, int alpha) = 0;
    // A text in the game's font at a point size, with its top-left corner at
    // (x, y), or centred on (x, y).
    virtual void draw_text(const std::string& text, int size, Colour colour, int x, int y) = 0;
    virtual void draw_centred_text(const std::string& text, int size, Colour colour, int x, int y) = 0;
    // How many pixels wide draw_text makes the text at that size.
    virtual int text_width(const std::string& text, int size) = 0;
};

#endif
