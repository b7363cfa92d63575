// The code editor's picture font: the 95 glyphs of the editor in one row of
// cells, in the layout the GUI library reads. Pixel (0, 0) is the separator
// colour; every cell is one glyph's advance wide and is followed by a
// separator column; below the row runs a separator line. Cell background is
// magenta (see-through), ink is dark with soft edges made against white, the
// background of the editor's text boxes.
#include <SDL_ttf.h>

#include <string>

#include "theme.h"

namespace {
constexpr int FONT_SIZE = 12;
constexpr Rgb SEPARATOR{255, 255, 0};
constexpr Rgb EDITOR_INK{22, 28, 48};

std::string glyph_string() {
    std::string s = " ";
    for (char ch = 'a'; ch <= 'z'; ++ch)
        s += ch;
    for (char ch = 'A'; ch <= 'Z'; ++ch)
        s += ch;
    for (char ch = '0'; ch <= '9'; ++ch)
        s += ch;
    const int punctuation[] = {46, 44, 33, 63, 45, 43, 47, 40, 41, 58, 59, 37, 38, 96, 39, 42,
                               35, 61, 91, 93, 34, 60, 62, 123, 125, 94, 126, 124, 95, 64, 36, 92};
    for (int code : punctuation)
        s += static_cast<char>(code);
    return s;
}

void put(SDL_Surface* s, int x, int y, Rgb c) {
    *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4) =
        SDL_MapRGB(s->format, c.r, c.g, c.b);
}

// Copies one glyph, rendered on white, into its cell; pure white becomes
// see-through.
void copy_glyph(SDL_Surface* sheet, SDL_Surface* glyph, int left, int width, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb c = MAGENTA;
            if (x < glyph->w && y < glyph->h) {
                Uint8 index = static_cast<Uint8*>(glyph->pixels)[y * glyph->pitch + x];
                SDL_Color shade = glyph->format->palette->colors[index];
                if (shade.r != 255 || shade.g != 255 || shade.b != 255)
                    c = {shade.r, shade.g, shade.b};
            }
            put(sheet, left + x, y, c);
        }
    }
}
} // namespace

bool draw_editor_font(const char* font_dir, const char* img_dir) {
    std::string path = std::string(font_dir) + "/" + MONO;
    TTF_Font* font = TTF_OpenFont(path.c_str(), FONT_SIZE);
    if (!font)
        return false;
    std::string glyphs = glyph_string();
    int advance = 0, height = TTF_FontHeight(font), ignored = 0;
    TTF_SizeText(font, "M", &advance, &ignored);
    int width = 1 + static_cast<int>(glyphs.size()) * (advance + 1);
    SDL_Surface* sheet = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height + 1, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_FillRect(sheet, nullptr, SDL_MapRGB(sheet->format, SEPARATOR.r, SEPARATOR.g, SEPARATOR.b));
    SDL_Color ink{EDITOR_INK.r, EDITOR_INK.g, EDITOR_INK.b, 0}, paper{255, 255, 255, 0};
    for (size_t i = 0; i < glyphs.size(); ++i) {
        char text[2] = {glyphs[i], '\0'};
        SDL_Surface* glyph = TTF_RenderText_Shaded(font, text, ink, paper);
        if (glyph) {
            copy_glyph(sheet, glyph, 1 + static_cast<int>(i) * (advance + 1), advance, height);
            SDL_FreeSurface(glyph);
        }
    }
    TTF_CloseFont(font);
    bool ok = SDL_SaveBMP(sheet, (std::string(img_dir) + "/dina.bmp").c_str()) == 0;
    SDL_FreeSurface(sheet);
    return ok;
}
