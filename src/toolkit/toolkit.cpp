#include "toolkit/toolkit.h"

#include <SDL_image.h>
#include <SDL_rotozoom.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "toolkit/pictures.h"

std::map<int, TTF_Font*> fonts;

namespace {
SDL_Color colour_of(int r, int g, int b) {
    SDL_Color c;
    c.r = static_cast<Uint8>(r & 0xFF);
    c.g = static_cast<Uint8>(g & 0xFF);
    c.b = static_cast<Uint8>(b & 0xFF);
    c.unused = 0;
    return c;
}

// The longest start of the text that renders at most TEXT_WIDTH_MAX pixels
// wide. SDL 1.2 keeps a surface's row length in 16 bits, so SDL_ttf cannot
// make a picture of a text tens of thousands of pixels wide.
std::string fitting_text(TTF_Font* font, const char* text) {
    std::string shown(text, strnlen(text, static_cast<std::size_t>(TEXT_WIDTH_MAX)));
    auto fits = [font](const std::string& piece) {
        int w = 0, h = 0;
        return TTF_SizeText(font, piece.c_str(), &w, &h) == 0 && w <= TEXT_WIDTH_MAX;
    };
    if (fits(shown))
        return shown;
    std::size_t low = 0, high = shown.size() - 1;
    while (low < high) {
        std::size_t middle = (low + high + 1) / 2;
        if (fits(shown.substr(0, middle)))
            low = middle;
        else
            high = middle - 1;
    }
    shown.resize(low);
    return shown;
}

Picture render_text(const char* text, int size, SDL_Color colour) {
    // An empty text has no width: nothing to draw.
    if (text == nullptr || text[0] == '\0')
        return nullptr;
    TTF_Font* font = font_of_size(size);
    if (font == nullptr)
        return nullptr;
    std::string shown = fitting_text(font, text);
    if (shown.empty())
        return nullptr;
    return Picture(TTF_RenderText_Solid(font, shown.c_str(), colour));
}

// Rendered texts kept for later frames: name labels, counts and panel texts
// are drawn again frame after frame. A full cache lets the text unused the
// longest go; long texts (messages) are not kept.
class TextCache {
public:
    static constexpr std::size_t KEPT_LENGTH = 64;

    // The rendered text, kept or made afresh in `fresh`; null for no text.
    SDL_Surface* rendered(const char* text, int size, SDL_Color colour, Picture& fresh) {
        if (text == nullptr || std::strlen(text) > KEPT_LENGTH) {
            fresh = render_text(text, size, colour);
            return fresh.get();
        }
        Key key{text, size, colour.r, colour.g, colour.b};
        auto found = slots_.find(key);
        if (found == slots_.end()) {
            if (slots_.size() >= KEPT_TEXTS_MAX)
                forget_oldest();
            found = slots_.emplace(std::move(key), Slot{render_text(text, size, colour), 0}).first;
        }
        found->second.last_use = ++uses_;
        return found->second.picture.get();
    }
    void clear() { slots_.clear(); }
    std::size_t size() const { return slots_.size(); }

private:
    struct Key {
        std::string text;
        int size;
        Uint8 r, g, b;
        bool operator<(const Key& other) const {
            return std::tie(text, size, r, g, b) < std::tie(other.text, other.size, other.r, other.g, other.b);
        }
    };
    struct Slot {
        Picture picture;
        unsigned long long last_use;
    };
    std::map<Key, Slot> slots_;
    unsigned long long uses_ = 0;

    void forget_oldest() {
        auto oldest = slots_.begin();
        for (auto at = slots_.begin(); at != slots_.end(); ++at)
            if (at->second.last_use < oldest->second.last_use)
                oldest = at;
        slots_.erase(oldest);
    }
};

TextCache& texts() {
    static TextCache cache;
    return cache;
}

// SDL_gfx loses a row and a column on exact quarter turns; the same turn the
// other way round keeps them.
double full_angle(int angle) {
    int a = ((angle % 360) + 360) % 360;
    return a == 90 ? -270.0 : static_cast<double>(a);
}
} // namespace

int text_width(const char* text, int size) {
    TTF_Font* font = font_of_size(size);
    int w = 0, h = 0;
    if (font == nullptr || text == nullptr || TTF_SizeText(font, fitting_text(font, text).c_str(), &w, &h) != 0)
        return 0;
    return w;
}

std::string cut_to_width(const std::string& text, int size, int width, const char* suffix) {
    auto fits = [&](std::size_t length) { return text_width((text.substr(0, length) + suffix).c_str(), size) <= width; };
    std::size_t low = 0, high = text.size();
    while (low < high) {
        std::size_t middle = (low + high + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return text.substr(0, low) + suffix;
}

int text_line_height(int size) {
    TTF_Font* font = font_of_size(size);
    return font ? TTF_FontLineSkip(font) : 0;
}

std::size_t kept_text_count() {
    return texts().size();
}

void close_fonts() {
    texts().clear();
    for (auto& entry : fonts)
        if (entry.second)
            TTF_CloseFont(entry.second);
    fonts.clear();
}

TTF_Font* font_of_size(int size) {
    auto found = fonts.find(size);
    if (found != fonts.end())
        return found->second;
    if (!TTF_WasInit())
        return nullptr;
    TTF_Font* font = TTF_OpenFont(FONT_FILE, size);
    // Texts are drawn in one colour without smoothing; the font's ordinary
    // hinting then squeezes an "m" at size 10 into an "n" ("them" read
    // "then"). Hinting made for such one-colour drawing keeps every stem.
    if (font != nullptr)
        TTF_SetFontHinting(font, TTF_HINTING_MONO);
    fonts[size] = font;
    return font;
}

SDL_Rect make_rect(int x, int y, int w, int h) {
    SDL_Rect r;
    r.x = static_cast<Sint16>(x);
    r.y = static_cast<Sint16>(y);
    r.w = static_cast<Uint16>(w);
    r.h = static_cast<Uint16>(h);
    return r;
}

void fill_rect(SDL_Surface* dst, int x, int y, int w, int h, int r, int g, int b) {
    SDL_Color c = colour_of(r, g, b);
    SDL_Rect area = make_rect(x, y, w, h);
    SDL_FillRect(dst, &area, SDL_MapRGB(dst->format, c.r, c.g, c.b));
}

Picture plain_picture(SDL_Surface* like, int w, int h, int r, int g, int b) {
    const SDL_PixelFormat& format = *like->format;
    Picture picture(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, format.BitsPerPixel, format.Rmask, format.Gmask,
                                         format.Bmask, 0));
    if (picture)
        fill_rect(picture.get(), 0, 0, w, h, r, g, b);
    return picture;
}

Uint32 pixel_at(SDL_Surface* surface, int x, int y) {
    SDL_LockSurface(surface);
    const Uint8* at = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
    Uint32 value = 0;
    switch (surface->format->BytesPerPixel) {
    case 1: value = *at; break;
    case 2: value = *reinterpret_cast<const Uint16*>(at); break;
    case 4: value = *reinterpret_cast<const Uint32*>(at); break;
    default: value = at[0] | at[1] << 8 | at[2] << 16; break;
    }
    SDL_UnlockSurface(surface);
    return value;
}

namespace {
// A picture that is a plain copy of pixels onto dst: same layout, no key, no
// alpha, both in memory that needs no lock.
bool copies_plainly(const SDL_Surface* src, const SDL_Surface* dst) {
    const SDL_PixelFormat* a = src->format;
    const SDL_PixelFormat* b = dst->format;
    return src != dst && !(src->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) && !SDL_MUSTLOCK(src) && !SDL_MUSTLOCK(dst) &&
           a->palette == nullptr && b->palette == nullptr && a->BytesPerPixel == b->BytesPerPixel &&
           a->Rmask == b->Rmask && a->Gmask == b->Gmask && a->Bmask == b->Bmask && a->Amask == b->Amask;
}

// Copies the part `from` of src (a part inside it) row by row with its
// top-left corner at (x, y), clipped to dst's clipping rectangle as SDL
// clips a blit.
void copy_rows(SDL_Surface* src, SDL_Rect from, int x, int y, SDL_Surface* dst) {
    const SDL_Rect& clip = dst->clip_rect;
    int left = std::max(x, static_cast<int>(clip.x)), top = std::max(y, static_cast<int>(clip.y));
    int right = std::min(x + from.w, clip.x + clip.w), bottom = std::min(y + from.h, clip.y + clip.h);
    if (right <= left || bottom <= top)
        return;
    int bytes = src->format->BytesPerPixel;
    const Uint8* from_row =
        static_cast<const Uint8*>(src->pixels) + (from.y + top - y) * src->pitch + (from.x + left - x) * bytes;
    Uint8* to_row = static_cast<Uint8*>(dst->pixels) + top * dst->pitch + left * bytes;
    for (int row = top; row < bottom; ++row, from_row += src->pitch, to_row += dst->pitch)
        std::memcpy(to_row, from_row, static_cast<std::size_t>(right - left) * bytes);
}

// Blits the part `from` of src with its top-left corner at (x, y). SDL copies
// a plain picture of the destination's own layout with non-temporal MMX
// stores, which costs many times a plain copy for the small pictures of the
// floor (a whole screen also takes several times longer); such a picture is
// copied here instead, to the same pixels.
void blit(SDL_Surface* src, SDL_Rect from, int x, int y, SDL_Surface* dst) {
    SDL_Rect to = make_rect(x, y, 0, 0);
    if (copies_plainly(src, dst))
        copy_rows(src, from, to.x, to.y, dst);
    else
        SDL_UpperBlit(src, &from, dst, &to);
}
} // namespace

void draw_image(SDL_Surface* src, int x, int y, SDL_Surface* dst) {
    if (src == nullptr || dst == nullptr)
        return;
    blit(src, make_rect(0, 0, src->w, src->h), x, y, dst);
}

void draw_image_fade(SDL_Surface* src, int x, int y, SDL_Surface* dst, int alpha) {
    if (src == nullptr)
        return;
    if (SDL_Surface* faded = cached_fade(src, alpha)) {
        draw_image(faded, x, y, dst);
        return;
    }
    SDL_SetAlpha(src, SDL_SRCALPHA, static_cast<Uint8>(alpha & 0xFF));
    draw_image(src, x, y, dst);
    SDL_SetAlpha(src, 0, 255);
}

// SDL_gfx keys the turned copy of a palettised picture on the picture's own
// key, or on palette index 0 when it has none, which would punch holes
// wherever an opaque picture uses its first colour. So an unkeyed picture's
// copy is made opaque, and `part` leaves out the filler row and column that a
// turn adds along the copy's top and left edges.
Picture turned_picture(SDL_Surface* src, int angle, SDL_Rect& part) {
    Picture turned(rotozoomSurface(src, full_angle(angle), 1.0, 0));
    if (!turned)
        return nullptr;
    part = make_rect(0, 0, turned->w, turned->h);
    if (turned->format->BitsPerPixel == 8 && !(src->flags & SDL_SRCCOLORKEY)) {
        SDL_SetColorKey(turned.get(), 0, 0);
        int fill_x = turned->w > src->w ? turned->w - src->w : 0;
        int fill_y = turned->h > src->h ? turned->h - src->h : 0;
        part = make_rect(fill_x, fill_y, turned->w - fill_x, turned->h - fill_y);
    }
    return turned;
}

namespace {
// Blits one part of src as if the whole of src were drawn at (x, y).
void draw_part(SDL_Surface* src, SDL_Rect part, int x, int y, SDL_Surface* dst) {
    if (src != nullptr)
        blit(src, part, x + part.x, y + part.y, dst);
}
} // namespace

// A cached picture is turned once per angle, from its file's own picture.
void draw_image_rotated(SDL_Surface* src, int angle, int x, int y, SDL_Surface* dst) {
    if (src == nullptr || dst == nullptr)
        return;
    if (const TurnedPicture* turned = cached_turn(src, angle)) {
        draw_part(turned->shown, turned->part, x, y, dst);
        return;
    }
    SDL_Rect part;
    Picture turned = turned_picture(src, angle, part);
    draw_part(turned.get(), part, x, y, dst);
}

void draw_text(const char* text, int size, int r, int g, int b, int x, int y, SDL_Surface* dst) {
    Picture fresh;
    draw_image(texts().rendered(text, size, colour_of(r, g, b), fresh), x, y, dst);
}

void draw_text_center(const char* text, int size, int r, int g, int b, int x, int y, SDL_Surface* dst) {
    Picture fresh;
    SDL_Surface* rendered = texts().rendered(text, size, colour_of(r, g, b), fresh);
    if (rendered == nullptr)
        return;
    draw_image(rendered, x - rendered->w / 2, y - rendered->h / 2, dst);
}

void draw_text_int(int value, int size, int r, int g, int b, int x, int y, SDL_Surface* dst) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    draw_text(text, size, r, g, b, x, y, dst);
}

void draw_text_int_center(int value, int size, int r, int g, int b, int x, int y, SDL_Surface* dst) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    draw_text_center(text, size, r, g, b, x, y, dst);
}

void set_magenta_key(SDL_Surface* picture) {
    if (!picture)
        return;
    // A palette without magenta maps it to its nearest colour, which must
    // not turn transparent: such a picture has nothing to key.
    Uint32 key = SDL_MapRGB(picture->format, 255, 0, 255);
    Uint8 r, g, b;
    SDL_GetRGB(key, picture->format, &r, &g, &b);
    if (r == 255 && g == 0 && b == 255)
        SDL_SetColorKey(picture, SDL_SRCCOLORKEY | SDL_RLEACCEL, key);
}

Picture load_picture(const char* path, Magenta magenta) {
    Picture picture(IMG_Load(path));
    if (magenta == Magenta::see_through)
        set_magenta_key(picture.get());
    return picture;
}
