#include "film/median_cut.h"

#include <algorithm>

std::vector<Rgb> median_cut(std::vector<Swatch> swatches, std::size_t most) {
    if (swatches.empty())
        return {};
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
    while (boxes.size() < most) {
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
    std::vector<Rgb> palette;
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

int nearest_colour(const std::vector<Rgb>& palette, const Rgb& colour, std::size_t first) {
    int best = static_cast<int>(first);
    long best_d = -1;
    for (size_t i = first; i < palette.size(); ++i) {
        long d = 0;
        for (int ch = 0; ch < 3; ++ch)
            d += long(palette[i][ch] - colour[ch]) * (palette[i][ch] - colour[ch]);
        if (best_d < 0 || d < best_d)
            best_d = d, best = static_cast<int>(i);
    }
    return best;
}
