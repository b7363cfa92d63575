#include "film/film_palette.h"

FilmPalette::FilmPalette(const ColourCount& counted, const SDL_PixelFormat& format)
    : format_(format), index_(1u << 16, -1) {
    std::vector<Swatch> swatches;
    for (unsigned pixel = 0; pixel < (1u << 16); ++pixel)
        if (std::uint64_t count = counted.count(static_cast<Uint16>(pixel)))
            swatches.push_back({rgb_of(static_cast<Uint16>(pixel)), static_cast<long>(count)});
    if (swatches.size() > static_cast<std::size_t>(COLOURS)) {
        colours_ = median_cut(std::move(swatches), COLOURS);
        return;
    }
    for (const Swatch& swatch : swatches)
        colours_.push_back(swatch.colour);
    if (colours_.empty())
        colours_.push_back({0, 0, 0});
}

Rgb FilmPalette::rgb_of(Uint16 pixel) const {
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(pixel, const_cast<SDL_PixelFormat*>(&format_), &r, &g, &b);
    return {r, g, b};
}
