// The one palette of a film, chosen from the colours its pictures show. The
// pictures are 16-bit, like the game's window; their pixel values are counted
// while the film is surveyed. The palette holds every colour counted when
// there are at most COLOURS, and a median cut of them, weighted by how many
// pixels show each, when there are more.
#ifndef GEARLOFT_FILM_FILM_PALETTE_H
#define GEARLOFT_FILM_FILM_PALETTE_H

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "film/median_cut.h"

// How many pixels show each 16-bit pixel value.
class ColourCount {
public:
    ColourCount() : counts_(1u << 16) {}
    void add(Uint16 pixel) { ++counts_[pixel]; }
    std::uint64_t count(Uint16 pixel) const { return counts_[pixel]; }

private:
    std::vector<std::uint64_t> counts_;
};

class FilmPalette {
public:
    // Colours for pictures; the last index of the GIF's palette is kept for
    // the pixels a frame leaves as the frame before showed them.
    static constexpr int COLOURS = 255;
    static constexpr std::uint8_t UNCHANGED = 255;

    // The palette for the counted pixels of pictures in `format`.
    FilmPalette(const ColourCount& counted, const SDL_PixelFormat& format);

    const std::vector<Rgb>& colours() const { return colours_; }
    // The index whose colour shows the pixel: its own when the palette holds
    // it, else the nearest (also for a pixel value never counted).
    std::uint8_t index_of(Uint16 pixel) {
        std::int16_t& index = index_[pixel];
        if (index < 0)
            index = static_cast<std::int16_t>(nearest_colour(colours_, rgb_of(pixel)));
        return static_cast<std::uint8_t>(index);
    }
    Rgb rgb_of(Uint16 pixel) const;

private:
    SDL_PixelFormat format_;
    std::vector<Rgb> colours_;
    // The index of each pixel value, -1 until it is first asked for.
    std::vector<std::int16_t> index_;
};

#endif
