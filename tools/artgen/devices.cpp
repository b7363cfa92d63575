// The machines: belts, pushers, grabbers, sprayers, sensors, lamps and the
// converter. One-cell machines point up (belts run right) as drawn here; the
// game turns them.
#include <cmath>

#include "theme.h"

namespace {
constexpr int CELL = 25;
constexpr Rgb RUBBER{48, 48, 53};
constexpr Rgb AMBER{244, 180, 44};

void rail(Canvas& c, double y0, double y1) {
    c.box(0, y0, 25, y1, theme::OUTLINE);
    c.vgradient(0, y0 + 0.5, 25, y1 - 0.5, theme::STEEL_LIGHT, theme::STEEL_DARK);
}

void chevron(Canvas& c, double x) {
    c.poly({{x, 7}, {x + 4.5, 7}, {x + 10, 12.5}, {x + 4.5, 18}, {x, 18}, {x + 5.5, 12.5}}, shade(AMBER, 0.5));
    c.poly({{x + 0.6, 7.6}, {x + 4.2, 7.6}, {x + 9.2, 12.5}, {x + 4.2, 17.4}, {x + 0.6, 17.4}, {x + 5.6, 12.5}},
           AMBER);
}

// A belt running right; `shift` moves the arrow along, so the five frames
// played in order show it sliding one cell every full turn.
void conveyer(const char* file, double shift) {
    Canvas c(CELL, CELL, RUBBER, false);
    c.vgradient(0, 4, 25, 21, {64, 64, 70}, {38, 38, 42});
    for (double x = shift - 25; x < 25; x += 25)
        chevron(c, x + 6);
    rail(c, 0, 4);
    rail(c, 21, 25);
    for (double x : {6.25, 18.75}) {
        c.disc(x, 2, 1, theme::STEEL_DARK);
        c.disc(x, 23, 1, theme::STEEL_DARK);
    }
    save_picture(c, file);
}

// The ram's face plate, shared by the pusher's body and its rod.
void ram_plate(Canvas& c, double y0, double y1) {
    c.round_box(2, y0, 23, y1, 1.5, theme::OUTLINE);
    c.vgradient(3, y0 + 1, 22, y1 - 1, theme::BRASS_LIGHT, theme::BRASS_DARK);
    for (double x = 4; x < 21; x += 4)
        c.poly({{x, y1 - 1}, {x + 2, y0 + 1}, {x + 3.5, y0 + 1}, {x + 1.5, y1 - 1}}, theme::INK, 150);
}

void pusher() {
    Canvas c(CELL, CELL, theme::FLOOR, false);
    base_plate(c, 0, 0, 25, 25);
    c.round_box(5, 6, 20, 23, 2, theme::OUTLINE);
    c.vgradient(6, 7, 19, 22, theme::STEEL_LIGHT, theme::STEEL);
    c.poly({{12.5, 9}, {16.5, 17}, {8.5, 17}}, theme::STEEL_DARK);
    c.box(10.5, 17, 14.5, 20, theme::STEEL_DARK);
    // The collar the rod comes out of, with the retracted ram face in it.
    c.round_box(3, 1.5, 22, 7, 1.5, theme::OUTLINE);
    c.vgradient(4, 2.5, 21, 6, theme::STEEL_LIGHT, theme::STEEL_DARK);
    c.box(8, 2.5, 17, 5, theme::BRASS);
    c.box(8, 2.5, 17, 3.2, theme::BRASS_LIGHT);
    save_picture(c, "pusher.gif");

    Canvas rod(CELL, CELL, MAGENTA, true);
    rod.box(9.5, 5, 15.5, 25, theme::OUTLINE);
    rod.box(10.5, 5, 14.5, 25, theme::STEEL_LIGHT);
    rod.box(12.5, 5, 14.5, 25, theme::STEEL);
    ram_plate(rod, 0.5, 6.5);
    save_picture(rod, "pusher_rod.gif");
}

void sprayer() {
    Canvas c(CELL, CELL, theme::FLOOR, false);
    base_plate(c, 0, 0, 25, 25);
    c.round_box(5.5, 8, 19.5, 23, 3.5, theme::OUTLINE);
    c.vgradient(6.5, 9, 18.5, 22, {120, 170, 236}, {42, 82, 160});
    c.box(8, 10, 9.5, 21, theme::WHITE, 110);
    c.box(9.5, 3, 15.5, 9, theme::OUTLINE);
    c.box(10.5, 3.5, 14.5, 9, theme::BRASS);
    c.box(8.5, 1, 16.5, 4, theme::OUTLINE);
    c.box(9.5, 1.5, 15.5, 3.5, theme::BRASS_LIGHT);
    c.disc(12.5, 17.5, 2.6, {214, 234, 255});
    c.poly({{12.5, 12}, {14.7, 16.6}, {10.3, 16.6}}, {214, 234, 255});
    save_picture(c, "sprayer.gif");

    // The glue cloud, drawn see-through over the cell in front.
    Canvas cloud(CELL, CELL, {126, 176, 255}, false);
    cloud.disc(12.5, 12.5, 11, {164, 204, 255});
    cloud.disc(12.5, 12.5, 6, {210, 232, 255});
    const Pt drops[] = {{4, 5}, {9, 3}, {17, 4}, {21, 9}, {3, 13}, {7, 19}, {14, 21}, {20, 18}, {12, 9}, {16, 13}};
    for (size_t i = 0; i < sizeof drops / sizeof drops[0]; ++i)
        cloud.disc(drops[i].x, drops[i].y, i % 2 ? 1.2 : 1.7, i % 3 ? Rgb{60, 110, 230} : theme::WHITE);
    save_picture(cloud, "sprayer_blue.gif");
}

void sensor() {
    Canvas c(CELL, CELL, theme::FLOOR, false);
    base_plate(c, 0, 0, 25, 25);
    c.disc(12.5, 12.5, 8.8, theme::OUTLINE);
    c.disc(12.5, 12.5, 8, theme::STEEL_LIGHT);
    c.disc(12.9, 12.9, 6.6, theme::STEEL_DARK);
    c.disc(12.5, 12.5, 5.6, {70, 8, 8});
    c.disc(12.5, 12.5, 3.9, {226, 36, 30});
    c.disc(12.5, 12.5, 1.8, {255, 150, 130});
    c.disc(10.4, 10.4, 1.2, theme::WHITE);
    save_picture(c, "sensor.gif");

    // What the sensor watches: a red target over the cell in front.
    Canvas beam(CELL, CELL, {196, 28, 28}, false);
    beam.disc(12.5, 12.5, 10.5, {255, 120, 110});
    beam.disc(12.5, 12.5, 9.3, {196, 28, 28});
    beam.disc(12.5, 12.5, 5, {255, 120, 110});
    beam.disc(12.5, 12.5, 3.8, {196, 28, 28});
    beam.box(12, 0, 13, 25, {255, 170, 160});
    beam.box(0, 12, 25, 13, {255, 170, 160});
    save_picture(beam, "sensor_red.gif");
}

void indicator() {
    Canvas c(CELL, CELL, MAGENTA, true);
    base_plate(c, 0, 0, 25, 25);
    c.disc(12.5, 12.5, 9.8, theme::OUTLINE);
    c.disc(12.5, 12.5, 9, theme::BRASS_DARK);
    c.disc(12, 12, 8.4, theme::BRASS_LIGHT);
    c.disc(12.5, 12.5, 8, theme::BRASS);
    // The lamp's glass is see-through: the lamp colour is painted beneath.
    c.disc(12.5, 12.5, 6.8, MAGENTA);
    c.disc(10.2, 10.2, 1.3, theme::WHITE);
    save_picture(c, "indicator.gif");
}

// The grabber's track, for a claw on its left: a brass guide rail on the claw
// side, a steel rail on the other, rungs between.
void track(Canvas& c, double y0, double y1) {
    c.box(3, y0, 22, y1, theme::OUTLINE);
    c.box(4, y0, 21, y1, {40, 44, 52});
    for (double y = y0 + 2; y < y1; y += 6.25)
        c.box(7, y, 18, y + 1.6, theme::STEEL_DARK);
    c.box(4, y0, 7.5, y1, theme::BRASS);
    c.box(4, y0, 5.2, y1, theme::BRASS_LIGHT);
    c.box(17.5, y0, 21, y1, theme::STEEL);
    c.box(17.5, y0, 18.7, y1, theme::STEEL_LIGHT);
}

// The housing at either end of the track, with a light label window for
// the row number the game writes on it.
void track_end(Canvas& c, double y0, double y1, bool gear_above) {
    c.round_box(1, y0, 24, y1, 2.5, theme::OUTLINE);
    c.vgradient(2, y0 + 1, 23, y1 - 1, theme::STEEL_LIGHT, theme::STEEL_DARK);
    c.round_box(6.5, y0 + 1.5, 18.5, y1 - 1.5, 1.5, theme::INK);
    c.round_box(7.2, y0 + 2.2, 17.8, y1 - 2.2, 1.2, theme::IVORY);
    double bolt_y = gear_above ? y0 + 3 : y1 - 3;
    rivet(c, 3.6, bolt_y, 1);
    rivet(c, 21.4, bolt_y, 1);
}

// The claw, drawn for a track on its right: a carriage at the right edge
// and two jaws reaching round the block in the cell.
void claw(const char* file, bool closed) {
    Canvas c(CELL, CELL, MAGENTA, true);
    Rgb jaw = theme::STEEL_LIGHT;
    for (int pass = 0; pass < 2; ++pass) {
        Rgb colour = pass == 0 ? theme::OUTLINE : jaw;
        double w = pass == 0 ? 4.6 : 2.6;
        if (closed) {
            c.line(20, 4, 3, 4, w, colour);
            c.line(20, 21, 3, 21, w, colour);
            c.line(3, 4, 3, 9, w, colour);
            c.line(3, 21, 3, 16, w, colour);
        } else {
            c.line(20, 8.5, 10, 3.5, w, colour);
            c.line(10, 3.5, 2.5, 1.8, w, colour);
            c.line(20, 16.5, 10, 21.5, w, colour);
            c.line(10, 21.5, 2.5, 23.2, w, colour);
        }
    }
    // The carriage that runs in the track's guide rail, with a lamp that
    // shows red while it holds a block.
    c.round_box(16, 5.5, 25, 19.5, 1.5, theme::OUTLINE);
    c.vgradient(17, 6.5, 25, 18.5, theme::BRASS_LIGHT, theme::BRASS_DARK);
    c.disc(20.5, 12.5, 2.6, theme::OUTLINE);
    c.disc(20.5, 12.5, 1.8, closed ? Rgb{240, 64, 48} : Rgb{90, 230, 90});
    save_picture(c, file);
}

void grabber() {
    Canvas top(CELL, CELL, MAGENTA, true);
    track(top, 12, 25);
    track_end(top, 0.5, 15.5, true);
    save_picture(top, "grabber_top.gif");

    Canvas mid(CELL, CELL, MAGENTA, true);
    track(mid, 0, 25);
    save_picture(mid, "grabber_mid.gif");

    Canvas bottom(CELL, CELL, MAGENTA, true);
    track(bottom, 0, 13);
    track_end(bottom, 9.5, 24.5, false);
    save_picture(bottom, "grabber_bot.gif");

    claw("grabber_claw.gif", false);
    claw("grabber_claw_x.gif", true);
}

// The converter: a 4 x 4 machine with an open lane in its third row; the
// block types it converts from and to show in the two slots.
void converter() {
    Canvas c(100, 100, MAGENTA, true);
    c.round_box(0, 0, 100, 50, 4, theme::OUTLINE);
    c.vgradient(1, 1, 99, 49, shade(theme::STEEL, 1.1), theme::STEEL_DARK);
    c.box(1, 1, 99, 2, theme::STEEL_LIGHT);
    for (double x : {10.0 - 2, 65.0 - 2}) {
        c.box(x, 8, x + 29, 37, theme::STEEL_LIGHT);
        c.box(x, 8, x + 28, 36, theme::OUTLINE);
        c.box(x + 1, 9, x + 28, 36, {30, 30, 34});
    }
    c.box(40, 20, 52, 25, theme::OUTLINE);
    c.box(40, 21, 52, 24, theme::BRASS_LIGHT);
    arrow_head(c, 51, 14, 61, 30, theme::OUTLINE);
    arrow_head(c, 52, 16, 59, 28, theme::BRASS_LIGHT);
    c.text("IN", {SANS_BOLD, 6}, 22.5, 38.5, theme::IVORY, Align::centre);
    c.text("OUT", {SANS_BOLD, 6}, 77.5, 38.5, theme::IVORY, Align::centre);
    for (double x : {4.0, 96.0}) {
        rivet(c, x, 4, 1.3);
        rivet(c, x, 46, 1.3);
    }
    // Emitters above and below the converting cell of the lane.
    c.poly({{55, 44}, {70, 44}, {66, 50}, {59, 50}}, theme::OUTLINE);
    c.poly({{56.5, 45}, {68.5, 45}, {65.3, 49.5}, {59.7, 49.5}}, theme::BRASS);
    c.round_box(25, 75, 75, 100, 3, theme::OUTLINE);
    c.vgradient(26, 76, 74, 99, shade(theme::STEEL, 1.1), theme::STEEL_DARK);
    c.poly({{59, 75}, {66, 75}, {70, 81}, {55, 81}}, theme::OUTLINE);
    c.poly({{59.7, 75.5}, {65.3, 75.5}, {68.5, 80}, {56.5, 80}}, theme::BRASS);
    rivet(c, 30, 95, 1.3);
    rivet(c, 70, 95, 1.3);
    rivet(c, 30, 86, 1.3);
    // Corner marks of the converting cell.
    for (double x : {50.0, 75.0})
        for (double y : {50.0, 75.0}) {
            double dx = x < 60 ? 1 : -1, dy = y < 60 ? 1 : -1;
            c.line(x + dx, y + dy, x + 5 * dx, y + dy, 1, theme::BRASS_LIGHT);
            c.line(x + dx, y + dy, x + dx, y + 5 * dy, 1, theme::BRASS_LIGHT);
        }
    save_picture(c, "converter.gif");
}
} // namespace

void draw_devices() {
    const char* belt_frames[] = {"conveyer_8.gif", "conveyer_7.gif", "conveyer_5.gif", "conveyer_4.gif",
                                 "conveyer_2.gif"};
    for (int i = 0; i < 5; ++i)
        conveyer(belt_frames[i], 5.0 * i);
    pusher();
    sprayer();
    sensor();
    indicator();
    grabber();
    converter();
}
