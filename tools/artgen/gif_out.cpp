#include "gif_out.h"

#include <gif_lib.h>

#include <cstdio>
#include <map>
#include <sys/stat.h>
#include <vector>

#include "film/median_cut.h"

namespace {
using Colour = Rgb;
constexpr int PALETTE_MAX = 255; // entry 0 is reserved for magenta

Colour colour_at(SDL_Surface* s, int x, int y) {
    Uint32 p = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4);
    Uint8 r, g, b;
    SDL_GetRGB(p, s->format, &r, &g, &b);
    return {r, g, b};
}

bool is_magenta(const Colour& c) {
    return c[0] == 255 && c[1] == 0 && c[2] == 255;
}

struct Indexed {
    std::vector<Colour> palette;
    std::vector<GifByteType> pixels;
};

Indexed index_colours(SDL_Surface* picture, bool keyed) {
    std::map<Colour, long> counts;
    for (int y = 0; y < picture->h; ++y)
        for (int x = 0; x < picture->w; ++x) {
            Colour c = colour_at(picture, x, y);
            if (!(keyed && is_magenta(c)))
                ++counts[c];
        }
    std::vector<Swatch> swatches;
    for (auto& entry : counts)
        swatches.push_back({entry.first, entry.second});

    Indexed out;
    out.palette.push_back({255, 0, 255});
    if (swatches.size() <= PALETTE_MAX) {
        for (const Swatch& s : swatches)
            out.palette.push_back(s.colour);
    } else {
        for (const Colour& c : median_cut(swatches, PALETTE_MAX))
            out.palette.push_back(c);
    }
    std::map<Colour, int> lookup;
    for (const Swatch& s : swatches)
        lookup[s.colour] = nearest_colour(out.palette, s.colour, 1);
    for (int y = 0; y < picture->h; ++y)
        for (int x = 0; x < picture->w; ++x) {
            Colour c = colour_at(picture, x, y);
            out.pixels.push_back(static_cast<GifByteType>(keyed && is_magenta(c) ? 0 : lookup[c]));
        }
    return out;
}

bool put_transparency(GifFileType* gif) {
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, 0};
    GifByteType ext[4];
    size_t len = EGifGCBToExtension(&gcb, ext);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(len), ext) == GIF_OK;
}
} // namespace

bool write_gif(SDL_Surface* picture, bool keyed, const std::string& path) {
    Indexed img = index_colours(picture, keyed);
    int size = 2;
    while (size < static_cast<int>(img.palette.size()))
        size *= 2;
    ColorMapObject* map = GifMakeMapObject(size, nullptr);
    if (!map)
        return false;
    for (int i = 0; i < size; ++i) {
        Colour c = i < static_cast<int>(img.palette.size()) ? img.palette[i] : Colour{0, 0, 0};
        map->Colors[i] = {static_cast<GifByteType>(c[0]), static_cast<GifByteType>(c[1]),
                          static_cast<GifByteType>(c[2])};
    }
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    bool ok = gif != nullptr;
    if (ok) {
        EGifSetGifVersion(gif, true);
        ok = EGifPutScreenDesc(gif, picture->w, picture->h, 8, 0, map) == GIF_OK;
        ok = ok && (!keyed || put_transparency(gif));
        ok = ok && EGifPutImageDesc(gif, 0, 0, picture->w, picture->h, false, nullptr) == GIF_OK;
        for (int y = 0; ok && y < picture->h; ++y)
            ok = EGifPutLine(gif, &img.pixels[static_cast<size_t>(y) * picture->w], picture->w) == GIF_OK;
        ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    }
    GifFreeMapObject(map);
    chmod(path.c_str(), 0644); // giflib creates files readable by their owner only
    if (!ok)
        std::fprintf(stderr, "artgen: cannot write %s (giflib error %d)\n", path.c_str(), error);
    return ok;
}
