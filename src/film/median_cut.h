// Choosing a few colours for many: the game's pictures and its films are
// GIFs, at most 256 colours each, drawn from pictures with more.
#ifndef GEARLOFT_FILM_MEDIAN_CUT_H
#define GEARLOFT_FILM_MEDIAN_CUT_H

#include <array>
#include <cstddef>
#include <vector>

// Red, green and blue, each 0 to 255.
using Rgb = std::array<int, 3>;

// A colour and how many pixels show it.
struct Swatch {
    Rgb colour;
    long count;
};

// At most `most` colours for the swatches (at least one): median cut, which
// splits the most spread-out box of colours at its weighted median until
// there are `most` boxes, each giving its weighted mean. The same swatches
// in the same order give the same colours.
std::vector<Rgb> median_cut(std::vector<Swatch> swatches, std::size_t most);

// The index of the palette colour nearest to `colour`, among the entries
// from `first` on; the lowest such index on a tie.
int nearest_colour(const std::vector<Rgb>& palette, const Rgb& colour, std::size_t first = 0);

#endif
