// An animated GIF written into memory through giflib: one palette for all of
// it, each frame a rectangle of palette indices laid over the picture the
// frames before it left, shown for its delay; the film loops for ever.
#ifndef GEARLOFT_FILM_GIF_STREAM_H
#define GEARLOFT_FILM_GIF_STREAM_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "film/median_cut.h"

struct GifFileType;

class GifStream {
public:
    // Most colours of the palette.
    static constexpr std::size_t COLOURS_MAX = 256;

    // A film of width x height pixels whose palette holds `palette`, index
    // by index (at most COLOURS_MAX colours).
    GifStream(int width, int height, const std::vector<Rgb>& palette);
    ~GifStream();
    GifStream(const GifStream&) = delete;
    GifStream& operator=(const GifStream&) = delete;

    // Whether a frame shows the picture beneath wherever it holds `index`.
    struct SeeThrough {
        bool used;
        std::uint8_t index;
    };
    // Adds a frame: the part `area` of the picture (inside the film), its
    // palette indices row by row (giflib may rewrite them), shown for
    // `delay_cs` hundredths of a second. False when giflib failed.
    bool add_frame(const PixelRect& area, std::vector<std::uint8_t>& indices, int delay_cs, SeeThrough see);

    // The most bytes a frame of `pixels` pixels adds, its header and the
    // file's end included: LZW codes grow to 12 bits, one per pixel at most.
    static std::size_t frame_bytes_max(std::size_t pixels);
    std::size_t size() const { return bytes_.size(); }

    // Ends the file and hands over its bytes; empty when giflib failed.
    std::string finish();

private:
    GifFileType* gif_ = nullptr;
    std::string bytes_;
    bool ok_ = false;

    static int append(GifFileType* gif, const unsigned char* bytes, int length);
    bool loop_for_ever();
};

#endif
