#include "film/frame_diff.h"

#include <algorithm>
#include <cstring>

FrameDiff::FrameDiff(int width, int height)
    : width_(width), height_(height), kept_(static_cast<std::size_t>(width) * height) {}

PixelRect FrameDiff::changes(const SDL_Surface* picture) const {
    if (first_)
        return {0, 0, width_, height_};
    int left = width_, right = -1, top = -1, bottom = -1;
    std::size_t row_bytes = sizeof(Uint16) * static_cast<std::size_t>(width_);
    for (int y = 0; y < height_; ++y) {
        const Uint16* now = pixel_row(picture, y);
        const Uint16* before = kept_row(y);
        if (std::memcmp(now, before, row_bytes) == 0)
            continue;
        int first = 0, last = width_ - 1;
        while (now[first] == before[first])
            ++first;
        while (now[last] == before[last])
            --last;
        left = std::min(left, first);
        right = std::max(right, last);
        top = top < 0 ? y : top;
        bottom = y;
    }
    if (top < 0)
        return {0, 0, 0, 0};
    return {left, top, right - left + 1, bottom - top + 1};
}

void FrameDiff::keep(const SDL_Surface* picture, const PixelRect& changed) {
    for (int y = changed.y; y < changed.y + changed.h; ++y) {
        const Uint16* row = pixel_row(picture, y);
        std::copy(row + changed.x, row + changed.x + changed.w, kept_.begin() + std::size_t(y) * width_ + changed.x);
    }
    first_ = false;
}
