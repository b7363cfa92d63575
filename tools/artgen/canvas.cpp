#include "canvas.h"

#include <SDL_gfxPrimitives.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

FontShelf* Canvas::fonts_ = nullptr;

namespace {
int clamp8(double v) { return std::max(0, std::min(255, static_cast<int>(std::lround(v)))); }

Uint32 pixel_at(const SDL_Surface* s, int x, int y) {
    return *reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * 4);
}

bool is_magenta(const SDL_PixelFormat* f, Uint32 p) {
    Uint8 r, g, b;
    SDL_GetRGB(p, const_cast<SDL_PixelFormat*>(f), &r, &g, &b);
    return r == 255 && g == 0 && b == 255;
}

SDL_Surface* make_rgb(int w, int h) {
    return SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
}
} // namespace

Rgb mix(Rgb a, Rgb b, double t) {
    return {clamp8(a.r + (b.r - a.r) * t), clamp8(a.g + (b.g - a.g) * t), clamp8(a.b + (b.b - a.b) * t)};
}

Rgb shade(Rgb c, double factor) {
    if (factor <= 1.0)
        return {clamp8(c.r * factor), clamp8(c.g * factor), clamp8(c.b * factor)};
    return mix(c, Rgb{255, 255, 255}, factor - 1.0);
}

FontShelf::FontShelf(std::string dir) : dir_(std::move(dir)) {}

FontShelf::~FontShelf() {
    for (auto& entry : open_)
        if (entry.second)
            TTF_CloseFont(entry.second);
}

TTF_Font* FontShelf::get(const char* file, int size) {
    auto key = std::make_pair(std::string(file), size);
    auto found = open_.find(key);
    if (found != open_.end())
        return found->second;
    std::string path = dir_ + "/" + file;
    TTF_Font* font = TTF_OpenFont(path.c_str(), size);
    if (!font)
        std::fprintf(stderr, "artgen: cannot open font %s\n", path.c_str());
    open_[key] = font;
    return font;
}

Canvas::Canvas(int w, int h, Rgb fill, bool keyed, int scale)
    : w_(w), h_(h), keyed_(keyed), k_(scale), big_(make_rgb(w * scale, h * scale)) {
    SDL_FillRect(big_, nullptr, SDL_MapRGB(big_->format, fill.r, fill.g, fill.b));
}

Canvas::~Canvas() { SDL_FreeSurface(big_); }

Sint16 Canvas::sx(double v) const { return static_cast<Sint16>(std::lround(v * k_)); }

void Canvas::box(double x0, double y0, double x1, double y1, Rgb c, int alpha) {
    boxRGBA(big_, sx(x0), sx(y0), static_cast<Sint16>(sx(x1) - 1), static_cast<Sint16>(sx(y1) - 1), c.r, c.g, c.b,
            alpha);
}

void Canvas::round_box(double x0, double y0, double x1, double y1, double radius, Rgb c, int alpha) {
    roundedBoxRGBA(big_, sx(x0), sx(y0), static_cast<Sint16>(sx(x1) - 1), static_cast<Sint16>(sx(y1) - 1),
                   sx(radius), c.r, c.g, c.b, alpha);
}

void Canvas::disc(double cx, double cy, double r, Rgb c, int alpha) {
    filledCircleRGBA(big_, sx(cx), sx(cy), sx(r), c.r, c.g, c.b, alpha);
}

void Canvas::oval(double cx, double cy, double rx, double ry, Rgb c, int alpha) {
    filledEllipseRGBA(big_, sx(cx), sx(cy), sx(rx), sx(ry), c.r, c.g, c.b, alpha);
}

void Canvas::poly(std::initializer_list<Pt> points, Rgb c, int alpha) {
    std::vector<Sint16> xs, ys;
    for (const Pt& p : points) {
        xs.push_back(sx(p.x));
        ys.push_back(sx(p.y));
    }
    filledPolygonRGBA(big_, xs.data(), ys.data(), static_cast<int>(xs.size()), c.r, c.g, c.b, alpha);
}

void Canvas::line(double x0, double y0, double x1, double y1, double width, Rgb c, int alpha) {
    thickLineRGBA(big_, sx(x0), sx(y0), sx(x1), sx(y1), static_cast<Uint8>(std::max(1L, std::lround(width * k_))), c.r,
                  c.g, c.b, alpha);
}

void Canvas::vgradient(double x0, double y0, double x1, double y1, Rgb top, Rgb bottom) {
    int a = sx(y0), b = sx(y1);
    for (int row = a; row < b; ++row) {
        Rgb c = mix(top, bottom, b - a > 1 ? double(row - a) / (b - a - 1) : 0.0);
        hlineRGBA(big_, sx(x0), static_cast<Sint16>(sx(x1) - 1), static_cast<Sint16>(row), c.r, c.g, c.b, 255);
    }
}

void Canvas::bevel_box(double x0, double y0, double x1, double y1, Rgb c, bool sunk) {
    Rgb light = shade(c, 1.35), dark = shade(c, 0.55);
    box(x0, y0, x1, y1, sunk ? light : dark);
    box(x0, y0, x1 - 1, y1 - 1, sunk ? dark : light);
    box(x0 + 1, y0 + 1, x1 - 1, y1 - 1, c);
}

int Canvas::text_width(const char* s, Face face) {
    TTF_Font* font = fonts_ ? fonts_->get(face.file, face.size * k_) : nullptr;
    int w = 0, h = 0;
    if (font)
        TTF_SizeText(font, s, &w, &h);
    return (w + k_ - 1) / k_;
}

void Canvas::text(const char* s, Face face, double x, double y, Rgb c, Align align) {
    TTF_Font* font = fonts_ ? fonts_->get(face.file, face.size * k_) : nullptr;
    if (!font || !s[0])
        return;
    SDL_Color colour{static_cast<Uint8>(c.r), static_cast<Uint8>(c.g), static_cast<Uint8>(c.b), 0};
    // Soft edges would blend into the see-through magenta of a keyed canvas;
    // there the averaging down smooths the hard-edged text instead.
    SDL_Surface* rendered = keyed_ ? TTF_RenderText_Solid(font, s, colour) : TTF_RenderText_Blended(font, s, colour);
    if (!rendered)
        return;
    int left = sx(x);
    if (align == Align::centre)
        left -= rendered->w / 2;
    else if (align == Align::right)
        left -= rendered->w;
    SDL_Rect to{static_cast<Sint16>(left), sx(y), 0, 0};
    SDL_BlitSurface(rendered, nullptr, big_, &to);
    SDL_FreeSurface(rendered);
}

void Canvas::paste(SDL_Surface* picture, int x, int y) {
    if (!picture)
        return;
    SDL_Surface* scaled = make_rgb(picture->w * k_, picture->h * k_);
    for (int py = 0; py < picture->h; ++py) {
        for (int px = 0; px < picture->w; ++px) {
            Uint8 r, g, b;
            SDL_GetRGB(pixel_at(picture, px, py), picture->format, &r, &g, &b);
            SDL_Rect cell{static_cast<Sint16>(px * k_), static_cast<Sint16>(py * k_), static_cast<Uint16>(k_),
                          static_cast<Uint16>(k_)};
            SDL_FillRect(scaled, &cell, SDL_MapRGB(scaled->format, r, g, b));
        }
    }
    SDL_SetColorKey(scaled, SDL_SRCCOLORKEY, SDL_MapRGB(scaled->format, 255, 0, 255));
    SDL_Rect to{sx(x), sx(y), 0, 0};
    SDL_BlitSurface(scaled, nullptr, big_, &to);
    SDL_FreeSurface(scaled);
}

void Canvas::sample_average(int px, int py, Uint8* out) const {
    long sum[3] = {0, 0, 0};
    int counted = 0, see_through = 0;
    for (int dy = 0; dy < k_; ++dy) {
        for (int dx = 0; dx < k_; ++dx) {
            Uint32 p = pixel_at(big_, px * k_ + dx, py * k_ + dy);
            if (keyed_ && is_magenta(big_->format, p)) {
                ++see_through;
                continue;
            }
            Uint8 r, g, b;
            SDL_GetRGB(p, big_->format, &r, &g, &b);
            sum[0] += r;
            sum[1] += g;
            sum[2] += b;
            ++counted;
        }
    }
    // A pixel mostly covered by see-through samples stays see-through, so
    // edges never fringe into pink.
    if (counted == 0 || see_through * 2 > k_ * k_) {
        out[0] = 255, out[1] = 0, out[2] = 255;
        return;
    }
    for (int i = 0; i < 3; ++i)
        out[i] = static_cast<Uint8>((sum[i] + counted / 2) / counted);
    if (out[0] == 255 && out[1] == 0 && out[2] == 255)
        out[1] = 1; // never magenta by accident
}

SDL_Surface* Canvas::finish() const {
    SDL_Surface* out = make_rgb(w_, h_);
    for (int py = 0; py < h_; ++py) {
        for (int px = 0; px < w_; ++px) {
            Uint8 c[3];
            sample_average(px, py, c);
            *reinterpret_cast<Uint32*>(static_cast<Uint8*>(out->pixels) + py * out->pitch + px * 4) =
                SDL_MapRGB(out->format, c[0], c[1], c[2]);
        }
    }
    return out;
}
