#include "gif_out.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <sys/stat.h>
#include <vector>

namespace {
using Colour = std::array<int, 3>;
constexpr int PALETTE_MAX = 255; // entry 0 is reserved for magenta

struct Swatch {
    Colour colour;
    long count;
};

Colour colour_at(SDL_Surface* s, int x, int y) {
    Uint32 p = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4);
    Uint8 r, g, b;
    SDL_GetRGB(p, s->format, &r, &g, &b);
    return {r, g, b};
}

bool is_magenta(const Colour& c) { return c[0] == 255 && c[1] == 0 && c[2] == 255; }

// Median cut: split the most spread-out box of colours at its weighted median
// until there are enough boxes; each box gives its weighted mean.
std::vector<Colour> median_cut(std::vector<Swatch> swatches) {
    struct Box {
        size_t begin, end;
    };
    std::vector<Box> boxes{{0, swatches.size()}};
    auto spread = [&](const Box& b, int& channel) {
        int best = -1;
        for (int ch = 0; ch < 3; ++ch) {
            int lo = 255, hi = 0;
            for (size_t i = b.begin; i < b.end; ++i) {
                lo = std::min(lo, swatches[i].colour[ch]);
                hi = std::max(hi, swatches[i].colour[ch]);
            }
            if (hi - lo > best)
                best = hi - lo, channel = ch;
        }
        return best;
    };
    while (boxes.size() < PALETTE_MAX) {
        int widest = -1, channel = 0, best = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            int ch = 0;
            int s = boxes[i].end - boxes[i].begin > 1 ? spread(boxes[i], ch) : 0;
            if (s > best)
                best = s, widest = static_cast<int>(i), channel = ch;
        }
        if (widest < 0)
            break;
        Box b = boxes[widest];
        std::sort(swatches.begin() + b.begin, swatches.begin() + b.end,
                  [channel](const Swatch& l, const Swatch& r) { return l.colour[channel] < r.colour[channel]; });
        long total = 0;
        for (size_t i = b.begin; i < b.end; ++i)
            total += swatches[i].count;
        size_t cut = b.begin + 1;
        for (long seen = swatches[b.begin].count; cut < b.end - 1 && seen * 2 < total; ++cut)
            seen += swatches[cut].count;
        boxes[widest] = {b.begin, cut};
        boxes.push_back({cut, b.end});
    }
    std::vector<Colour> palette;
    for (const Box& b : boxes) {
        double sum[3] = {0, 0, 0};
        long n = 0;
        for (size_t i = b.begin; i < b.end; ++i) {
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += double(swatches[i].colour[ch]) * swatches[i].count;
            n += swatches[i].count;
        }
        palette.push_back({int(sum[0] / n + 0.5), int(sum[1] / n + 0.5), int(sum[2] / n + 0.5)});
    }
    return palette;
}

int nearest(const std::vector<Colour>& palette, const Colour& c) {
    int best = 1;
    long best_d = -1;
    for (size_t i = 1; i < palette.size(); ++i) {
        long d = 0;
        for (int ch = 0; ch < 3; ++ch)
            d += long(palette[i][ch] - c[ch]) * (palette[i][ch] - c[ch]);
        if (best_d < 0 || d < best_d)
            best_d = d, best = static_cast<int>(i);
    }
    return best;
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
        for (const Colour& c : median_cut(swatches))
            out.palette.push_back(c);
    }
    std::map<Colour, int> lookup;
    for (const Swatch& s : swatches)
        lookup[s.colour] = nearest(out.palette, s.colour);
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
