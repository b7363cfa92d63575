#include "toolkit/pictures.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {
// The screen's pixel layout a copy was made for; copies are made again when
// it changes (a new window in another format).
struct ScreenFormat {
    Uint8 bits = 0;
    Uint32 red = 0, green = 0, blue = 0;
    bool operator==(const ScreenFormat& other) const {
        return bits == other.bits && red == other.red && green == other.green && blue == other.blue;
    }
};

ScreenFormat screen_format() {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (screen == nullptr)
        return {};
    const SDL_PixelFormat* format = screen->format;
    return {format->BitsPerPixel, format->Rmask, format->Gmask, format->Bmask};
}

struct Turned {
    Picture loaded;
    Picture shown;
    TurnedPicture view{};
};

// One file's picture as loaded, and the copies made from it.
struct Entry {
    Picture loaded;
    // In the screen's format; null when the loaded picture is drawn itself.
    Picture shown;
    bool fitted = false;
    ScreenFormat fitted_to;
    std::map<int, Turned> turns;  // by angle, 0 to 359
    std::map<int, Picture> fades; // by alpha
    SDL_Surface* handed_out() const { return shown ? shown.get() : loaded.get(); }
};

struct Cache {
    // By path; the plain pictures first, then the keyed ones.
    std::map<std::string, Entry, std::less<>> files[2];
    // The entry of every surface handed out.
    std::unordered_map<const SDL_Surface*, Entry*> by_surface;
};

Cache& cache() {
    static Cache entries;
    return entries;
}

// Makes the entry's copies fit the screen as it is now.
void fit_to_screen(Entry& entry) {
    ScreenFormat now = screen_format();
    if (entry.fitted && entry.fitted_to == now)
        return;
    cache().by_surface.erase(entry.handed_out());
    entry.turns.clear();
    entry.shown = exact_screen_copy(entry.loaded.get());
    entry.fitted = true;
    entry.fitted_to = now;
    if (entry.handed_out() != nullptr)
        cache().by_surface[entry.handed_out()] = &entry;
}

Entry* entry_of(SDL_Surface* picture) {
    auto found = cache().by_surface.find(picture);
    return found == cache().by_surface.end() ? nullptr : found->second;
}

// Whether no pixel but the key's own takes the key's colour once mapped to
// `format`, so that keying a copy in that format hides exactly what keying
// the picture hides. Only palettised pictures are looked at.
bool key_stays_apart(SDL_Surface* picture, const SDL_PixelFormat* format) {
    const SDL_PixelFormat* own = picture->format;
    if (own->BitsPerPixel != 8 || own->palette == nullptr || own->colorkey >= Uint32(own->palette->ncolors))
        return false;
    bool used[256] = {};
    if (SDL_LockSurface(picture) != 0)
        return false;
    for (int y = 0; y < picture->h; ++y) {
        const Uint8* row = static_cast<const Uint8*>(picture->pixels) + y * picture->pitch;
        for (int x = 0; x < picture->w; ++x)
            used[row[x]] = true;
    }
    SDL_UnlockSurface(picture);
    const SDL_Color* colours = own->palette->colors;
    const SDL_Color& key = colours[own->colorkey];
    Uint32 key_there = SDL_MapRGB(const_cast<SDL_PixelFormat*>(format), key.r, key.g, key.b);
    for (int i = 0; i < 256; ++i) {
        if (!used[i] || Uint32(i) == own->colorkey)
            continue;
        if (i >= own->palette->ncolors ||
            SDL_MapRGB(const_cast<SDL_PixelFormat*>(format), colours[i].r, colours[i].g, colours[i].b) == key_there)
            return false;
    }
    return true;
}

Turned make_turn(SDL_Surface* loaded, int angle) {
    Turned made;
    made.loaded = turned_picture(loaded, angle, made.view.part);
    made.shown = exact_screen_copy(made.loaded.get());
    made.view.loaded = made.loaded.get();
    made.view.shown = made.shown ? made.shown.get() : made.loaded.get();
    return made;
}
} // namespace

SDL_Surface* cached_picture(const char* path, Magenta magenta) {
    if (path == nullptr)
        return nullptr;
    auto& files = cache().files[magenta == Magenta::see_through ? 1 : 0];
    auto found = files.find(std::string_view(path));
    if (found == files.end()) {
        found = files.emplace(path, Entry()).first;
        found->second.loaded = load_picture(path, magenta);
    }
    fit_to_screen(found->second);
    return found->second.handed_out();
}

void release_pictures() {
    cache().by_surface.clear();
    for (auto& files : cache().files)
        files.clear();
}

const TurnedPicture* cached_turn(SDL_Surface* picture, int angle) {
    Entry* entry = entry_of(picture);
    if (entry == nullptr)
        return nullptr;
    int a = ((angle % 360) + 360) % 360;
    auto found = entry->turns.find(a);
    if (found == entry->turns.end())
        found = entry->turns.emplace(a, make_turn(entry->loaded.get(), a)).first;
    return &found->second.view;
}

SDL_Surface* cached_fade(SDL_Surface* picture, int alpha) {
    Entry* entry = entry_of(picture);
    if (entry == nullptr)
        return nullptr;
    Uint8 a = static_cast<Uint8>(alpha & 0xFF);
    Picture& faded = entry->fades[a];
    if (!faded) {
        // The loaded picture as it is, palette and key included, with the
        // alpha it would be given for the blit.
        SDL_Surface* loaded = entry->loaded.get();
        faded.reset(SDL_ConvertSurface(loaded, loaded->format, loaded->flags));
        if (!faded) {
            entry->fades.erase(a);
            return nullptr;
        }
        SDL_SetAlpha(faded.get(), SDL_SRCALPHA, a);
    }
    return faded.get();
}

Picture exact_screen_copy(SDL_Surface* picture) {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (picture == nullptr || screen == nullptr || picture->format->Amask != 0 || (picture->flags & SDL_SRCALPHA))
        return nullptr;
    bool keyed = picture->flags & SDL_SRCCOLORKEY;
    if (keyed && !key_stays_apart(picture, screen->format))
        return nullptr;
    Picture copy(SDL_DisplayFormat(picture));
    // Run-length coding pays only for large pictures; the game's are small.
    if (copy && keyed)
        SDL_SetColorKey(copy.get(), SDL_SRCCOLORKEY, copy->format->colorkey);
    return copy;
}
