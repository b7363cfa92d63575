// The nineteen block pictures, 25 x 25 each: plain coloured bricks, and
// crates that carry a small picture of the object they stand for.
#include <cmath>

#include "theme.h"

namespace {
constexpr int CELL = 25;

// The bevelled brick every block is made of.
void brick(Canvas& c, Rgb base) {
    c.round_box(0, 0, 25, 25, 3.5, shade(base, 0.42));
    c.round_box(1, 1, 24, 24, 3, shade(base, 0.7));
    c.round_box(1, 1, 23, 23, 3, shade(base, 1.35));
    c.round_box(2, 2, 23, 23, 2.5, base);
    c.round_box(3, 3, 22, 9, 2, theme::WHITE, 34);
}

void plain(Canvas& c, Rgb base) {
    brick(c, base);
    // A raised face in the middle, so bricks read as solid blocks.
    c.round_box(6, 6, 19.5, 19.5, 1.5, shade(base, 0.78));
    c.round_box(5.5, 5.5, 19, 19, 1.5, shade(base, 1.22));
    c.round_box(6.5, 6.5, 18.5, 18.5, 1.2, base);
}

void bulb(Canvas& c) {
    brick(c, {86, 60, 140});
    c.disc(12.5, 10, 9, {255, 226, 90}, 55);
    c.disc(12.5, 10, 6.8, {120, 96, 30});
    c.disc(12.5, 10, 6.2, {255, 228, 96});
    c.poly({{8.2, 13}, {16.8, 13}, {15.2, 17.2}, {9.8, 17.2}}, {255, 228, 96});
    c.disc(10.3, 7.8, 2, theme::WHITE, 200);
    c.box(9.5, 17, 15.5, 21.5, {180, 180, 186});
    c.box(9.5, 18.4, 15.5, 19.1, {100, 100, 108});
    c.box(9.5, 20, 15.5, 20.7, {100, 100, 108});
    c.box(11, 21.5, 14, 23, {60, 60, 66});
}

void bottle_shape(Canvas& c, Rgb glass, Rgb outline) {
    c.round_box(7.2, 8.2, 17.8, 22.8, 2.6, outline);
    c.box(9.8, 4.4, 15.2, 9.5, outline);
    c.round_box(8.2, 9.2, 16.8, 21.8, 2, glass);
    c.box(10.8, 5.4, 14.2, 10.5, glass);
    c.box(9.4, 2.2, 15.6, 5.4, {40, 150, 60});
}

void dew(Canvas& c, bool full) {
    brick(c, {168, 214, 222});
    bottle_shape(c, {232, 244, 246}, {60, 100, 110});
    if (full) {
        c.round_box(8.2, 11.5, 16.8, 21.8, 2, {70, 200, 50});
        c.box(10.8, 6.5, 14.2, 11.5, {70, 200, 50});
        c.disc(11, 17, 1, {190, 255, 160});
        c.disc(14, 14, 0.8, {190, 255, 160});
    }
    c.box(9.4, 10, 10.6, 20, theme::WHITE, 170);
}

void music_player(Canvas& c) {
    brick(c, {214, 80, 150});
    c.round_box(6.5, 2.8, 18.5, 22.5, 2.2, {90, 90, 96});
    c.round_box(7.2, 3.5, 17.8, 21.8, 2, {244, 244, 244});
    c.box(8.5, 5, 16.5, 11, {44, 62, 86});
    c.box(9.2, 6, 15.8, 7, {110, 160, 210});
    c.disc(12.5, 16.2, 3.9, {186, 186, 192});
    c.disc(12.5, 16.2, 1.5, {250, 250, 250});
}

void metal(Canvas& c) {
    c.round_box(0, 0, 25, 25, 2, {60, 64, 72});
    c.vgradient(1, 1, 24, 24, {214, 220, 228}, {128, 134, 146});
    c.poly({{1, 17}, {17, 1}, {22, 1}, {1, 22}}, theme::WHITE, 50);
    c.box(1, 1, 24, 2, {240, 244, 250});
    c.box(1, 23, 24, 24, {90, 96, 106});
    for (double x : {5.0, 20.0})
        for (double y : {5.0, 20.0})
            rivet(c, x, y, 1.6);
}

void speaker(Canvas& c) {
    brick(c, {128, 84, 48});
    c.round_box(4.5, 3, 20.5, 22.5, 1.5, {38, 34, 32});
    c.disc(12.5, 7.5, 2.6, {130, 130, 136});
    c.disc(12.5, 7.5, 1.2, {40, 40, 44});
    c.disc(12.5, 15.5, 5.8, {96, 96, 100});
    c.disc(12.5, 15.5, 4.4, {28, 28, 30});
    c.disc(12.5, 15.5, 1.9, {140, 140, 146});
}

void game_console(Canvas& c) {
    brick(c, {146, 222, 178});
    c.round_box(8, 2.5, 17.5, 23, 2, {96, 110, 118});
    c.round_box(8.6, 3, 16.8, 22.3, 1.8, {250, 250, 250});
    c.box(10.6, 5.5, 14.8, 6.6, {60, 170, 240});
    c.box(12.1, 9, 13.3, 19, {200, 204, 210});
    c.box(8.6, 3, 9.6, 22.3, {220, 222, 228});
}

void tyre(Canvas& c) {
    brick(c, {236, 150, 48});
    const double pi = 3.14159265358979;
    c.disc(12.5, 12.5, 10.3, {24, 24, 26});
    for (int i = 0; i < 12; ++i) {
        double a = 2 * pi * i / 12;
        c.line(12.5 + 8.2 * std::cos(a), 12.5 + 8.2 * std::sin(a), 12.5 + 10.3 * std::cos(a),
               12.5 + 10.3 * std::sin(a), 1, {70, 70, 74});
    }
    c.disc(12.5, 12.5, 5.6, {58, 58, 62});
    c.disc(12.5, 12.5, 4.4, {192, 192, 198});
    c.disc(12.5, 12.5, 1.3, {50, 50, 54});
}

void sports_bottle(Canvas& c) {
    brick(c, {172, 222, 62});
    c.round_box(7.2, 6.4, 17.8, 22.8, 2.8, {120, 60, 10});
    c.round_box(8, 7.2, 17, 22, 2.4, {248, 132, 22});
    c.box(9.6, 2.6, 15.4, 7.2, {22, 90, 40});
    c.box(11.5, 0.8, 13.5, 2.8, {22, 90, 40});
    c.box(8, 12, 17, 16.4, {250, 250, 250});
    c.poly({{13.2, 12.4}, {10.8, 14.6}, {12.6, 14.6}, {11.6, 16}, {14.4, 13.6}, {12.6, 13.6}}, {248, 132, 22});
    c.box(9, 8, 10.2, 21, theme::WHITE, 90);
}

void console_box(Canvas& c) {
    brick(c, {38, 118, 48});
    c.round_box(3.5, 6, 21.5, 19.5, 2, {8, 8, 10});
    c.round_box(4, 6.5, 21, 19, 1.8, {34, 34, 38});
    c.box(4, 6.5, 21, 7.6, {80, 80, 86});
    c.disc(12.5, 12.8, 4.2, {20, 60, 20});
    c.disc(12.5, 12.8, 3.3, {120, 240, 96});
    c.line(10.6, 10.9, 14.4, 14.7, 1.1, {20, 90, 20});
    c.line(14.4, 10.9, 10.6, 14.7, 1.1, {20, 90, 20});
}

void controller(Canvas& c) {
    brick(c, {206, 206, 214});
    Rgb pad{30, 30, 34};
    c.round_box(3, 8, 22, 16.5, 3.5, pad);
    c.disc(6.6, 15.6, 3.6, pad);
    c.disc(18.4, 15.6, 3.6, pad);
    c.box(5.4, 11.1, 9.6, 12.5, {230, 230, 230});
    c.box(6.8, 9.7, 8.2, 13.9, {230, 230, 230});
    c.disc(17.8, 10.3, 1.05, {90, 210, 90});
    c.disc(19.8, 12.2, 1.05, {230, 70, 60});
    c.disc(15.8, 12.2, 1.05, {80, 140, 240});
    c.disc(17.8, 14.1, 1.05, {250, 210, 50});
}

void space_station(Canvas& c) {
    brick(c, {20, 22, 46});
    for (Pt star : {Pt{4, 5}, Pt{20, 4}, Pt{21.5, 19}, Pt{3.5, 20}, Pt{18, 22}})
        c.disc(star.x, star.y, 0.6, theme::WHITE);
    c.disc(12.5, 12.5, 8.8, {88, 92, 102});
    c.disc(11.8, 11.8, 8, {166, 170, 180});
    c.box(4.2, 12.1, 20.8, 13.1, {84, 88, 98});
    c.disc(9, 8.6, 2.8, {96, 100, 110});
    c.disc(9.4, 9, 1.6, {140, 144, 154});
}

struct BlockArt {
    const char* file;
    void (*draw)(Canvas&);
};

const BlockArt BLOCKS[] = {
    {"block_red.gif", [](Canvas& c) { plain(c, {216, 46, 40}); }},
    {"block_green.gif", [](Canvas& c) { plain(c, {46, 168, 68}); }},
    {"block_blue.gif", [](Canvas& c) { plain(c, {44, 96, 228}); }},
    {"block_bulb.gif", bulb},
    {"block_dew_empty.gif", [](Canvas& c) { dew(c, false); }},
    {"block_dew_full.gif", [](Canvas& c) { dew(c, true); }},
    {"block_ipod.gif", music_player},
    {"block_metal.gif", metal},
    {"block_speaker.gif", speaker},
    {"block_white.gif", [](Canvas& c) { plain(c, {236, 236, 230}); }},
    {"block_wii.gif", game_console},
    {"block_tan.gif", [](Canvas& c) { plain(c, {214, 182, 132}); }},
    {"block_black.gif", [](Canvas& c) {
         // Black needs a silver rim to stand out on the dark floor.
         brick(c, {150, 154, 162});
         c.round_box(3, 3, 22, 22, 2, {34, 34, 38});
         c.round_box(6, 6, 19, 19, 1.5, {52, 52, 58});
         c.round_box(7, 7, 18, 18, 1.2, {28, 28, 32});
     }},
    {"block_tire.gif", tyre},
    {"block_gatorade.gif", sports_bottle},
    {"block_yellow.gif", [](Canvas& c) { plain(c, {246, 206, 38}); }},
    {"block_xbox.gif", console_box},
    {"block_xbox_controller.gif", controller},
    {"block_death_star.gif", space_station},
};
} // namespace

void draw_blocks() {
    for (const BlockArt& art : BLOCKS) {
        Canvas c(CELL, CELL, theme::FLOOR, false);
        art.draw(c);
        save_picture(c, art.file);
    }
}
