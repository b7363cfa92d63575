// Draws every picture of the game into <game dir>/img and installs the game's
// font as <game dir>/dina.fon.
// Usage: gearloft-artgen GAME_DIR FONT_DIR (FONT_DIR holds the DejaVu fonts).
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/stat.h>

#include "theme.h"

namespace {
bool copy_file(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    out << in.rdbuf();
    return in.good() && out.good();
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s GAME_DIR FONT_DIR\n", argv[0]);
        return 2;
    }
    std::string game_dir = argv[1], font_dir = argv[2], img_dir = game_dir + "/img";
    mkdir(img_dir.c_str(), 0755);
    if (TTF_Init() != 0) {
        std::fprintf(stderr, "artgen: cannot start SDL_ttf\n");
        return 1;
    }
    bool ok = true;
    {
        FontShelf fonts(font_dir);
        Canvas::set_fonts(&fonts);
        set_picture_dir(img_dir.c_str());
        draw_blocks();
        draw_floor_marks();
        draw_devices();
        draw_backgrounds();
        draw_messages();
        draw_parts_bin();
        ok = all_pictures_saved();
        Canvas::set_fonts(nullptr);
    }
    if (!draw_editor_font(font_dir.c_str(), img_dir.c_str())) {
        std::fprintf(stderr, "artgen: cannot write the editor font picture\n");
        ok = false;
    }
    // The game's own font file is DejaVu Sans Mono under the game's name.
    if (!copy_file(font_dir + "/" + MONO, game_dir + "/dina.fon")) {
        std::fprintf(stderr, "artgen: cannot install dina.fon\n");
        ok = false;
    }
    TTF_Quit();
    SDL_Quit();
    return ok ? 0 : 1;
}
