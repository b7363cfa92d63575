#include "toolkit/present.h"

#include <algorithm>
#include <cstring>

#include "toolkit/toolkit.h"

namespace {
const Uint8* row_start(const SDL_Surface* surface, int x, int y) {
    return static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
}

bool tile_differs(const SDL_Surface* now, const SDL_Surface* shown, const SDL_Rect& tile) {
    std::size_t bytes = static_cast<std::size_t>(tile.w) * now->format->BytesPerPixel;
    for (int y = tile.y; y < tile.y + tile.h; ++y)
        if (std::memcmp(row_start(now, tile.x, y), row_start(shown, tile.x, y), bytes) != 0)
            return true;
    return false;
}

// The changed tiles of one tile row, joined where they touch. Whole lines
// are compared first: most rows of most frames are unchanged, and one long
// comparison costs far less than a short one per tile.
std::vector<SDL_Rect> changed_runs(const SDL_Surface* now, const SDL_Surface* shown, int top) {
    std::vector<SDL_Rect> runs;
    int height = std::min(PRESENT_TILE_H, now->h - top);
    if (!tile_differs(now, shown, make_rect(0, top, now->w, height)))
        return runs;
    for (int x = 0; x < now->w; x += PRESENT_TILE_W) {
        SDL_Rect tile = make_rect(x, top, std::min(PRESENT_TILE_W, now->w - x), height);
        if (!tile_differs(now, shown, tile))
            continue;
        if (!runs.empty() && runs.back().x + runs.back().w == x)
            runs.back().w = static_cast<Uint16>(runs.back().w + tile.w);
        else
            runs.push_back(tile);
    }
    return runs;
}

// What the display was last sent, and of which screen.
struct Presented {
    SDL_Surface* screen = nullptr;
    Picture copy;
    std::uint64_t pixels = 0;
};

Presented& presented() {
    static Presented state;
    return state;
}

bool same_shape(const SDL_Surface* a, const SDL_Surface* b) {
    return a->w == b->w && a->h == b->h && a->format->BitsPerPixel == b->format->BitsPerPixel;
}

void send(SDL_Surface* screen, std::vector<SDL_Rect> rects) {
    Presented& state = presented();
    SDL_UpdateRects(screen, static_cast<int>(rects.size()), rects.data());
    for (SDL_Rect rect : rects) {
        state.pixels += static_cast<std::uint64_t>(rect.w) * rect.h;
        SDL_Rect to = rect;
        SDL_BlitSurface(screen, &rect, state.copy.get(), &to);
    }
}
} // namespace

std::vector<SDL_Rect> changed_rects(const SDL_Surface* now, const SDL_Surface* shown) {
    std::vector<SDL_Rect> rects;
    for (int top = 0; top < now->h; top += PRESENT_TILE_H) {
        for (const SDL_Rect& run : changed_runs(now, shown, top)) {
            // A run under one of the same columns that ends just above lengthens it.
            auto above = std::find_if(rects.begin(), rects.end(), [&](const SDL_Rect& r) {
                return r.x == run.x && r.w == run.w && r.y + r.h == top;
            });
            if (above != rects.end())
                above->h = static_cast<Uint16>(above->h + run.h);
            else
                rects.push_back(run);
        }
    }
    return rects;
}

void present_screen(SDL_Surface* screen) {
    if (screen == nullptr)
        return;
    Presented& state = presented();
    if (state.screen != screen || !state.copy || !same_shape(screen, state.copy.get())) {
        state.screen = screen;
        state.copy.reset(SDL_CreateRGBSurface(SDL_SWSURFACE, screen->w, screen->h, screen->format->BitsPerPixel,
                                              screen->format->Rmask, screen->format->Gmask, screen->format->Bmask,
                                              screen->format->Amask));
        if (!state.copy) {
            SDL_Flip(screen);
            return;
        }
        send(screen, {make_rect(0, 0, screen->w, screen->h)});
        return;
    }
    if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) < 0) {
        SDL_Flip(screen);
        return;
    }
    std::vector<SDL_Rect> rects = changed_rects(screen, state.copy.get());
    if (SDL_MUSTLOCK(screen))
        SDL_UnlockSurface(screen);
    if (!rects.empty())
        send(screen, std::move(rects));
}

std::uint64_t presented_pixels() {
    return presented().pixels;
}
