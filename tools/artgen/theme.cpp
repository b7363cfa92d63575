#include "theme.h"

#include <cmath>
#include <string>

#include "gif_out.h"

namespace {
std::string picture_dir = "img";
bool saved_all = true;
} // namespace

void set_picture_dir(const char* dir) { picture_dir = dir; }
bool all_pictures_saved() { return saved_all; }

void save_picture(const Canvas& c, const char* name) {
    SDL_Surface* finished = c.finish();
    if (!write_gif(finished, c.keyed(), picture_dir + "/" + name))
        saved_all = false;
    SDL_FreeSurface(finished);
}

void rivet(Canvas& c, double cx, double cy, double r) {
    c.disc(cx + r * 0.3, cy + r * 0.3, r, theme::OUTLINE, 160);
    c.disc(cx, cy, r, theme::STEEL_LIGHT);
    c.disc(cx + r * 0.25, cy + r * 0.25, r * 0.6, theme::STEEL);
}

void base_plate(Canvas& c, double x0, double y0, double x1, double y1) {
    c.box(x0, y0, x1, y1, theme::OUTLINE);
    c.vgradient(x0 + 1, y0 + 1, x1 - 1, y1 - 1, shade(theme::STEEL_DARK, 1.25), shade(theme::STEEL_DARK, 0.85));
    c.box(x0 + 1, y0 + 1, x1 - 1, y0 + 2, shade(theme::STEEL_DARK, 1.6));
    double r = 1.1;
    rivet(c, x0 + 3, y0 + 3, r);
    rivet(c, x1 - 3, y0 + 3, r);
    rivet(c, x0 + 3, y1 - 3, r);
    rivet(c, x1 - 3, y1 - 3, r);
}

void brass_plate(Canvas& c, double x0, double y0, double x1, double y1, double radius) {
    c.round_box(x0, y0, x1, y1, radius, theme::OUTLINE);
    c.round_box(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius, theme::BRASS_DARK);
    c.round_box(x0 + 1, y0 + 1, x1 - 2, y1 - 2, radius, theme::BRASS_LIGHT);
    c.round_box(x0 + 2, y0 + 2, x1 - 2, y1 - 2, radius, theme::BRASS);
    // A gloss that fades out towards the middle.
    double band = (y1 - y0 - 6) / 12.0;
    for (int i = 0; i < 6; ++i)
        c.box(x0 + 3, y0 + 3 + i * band, x1 - 3, y0 + 3 + (i + 1) * band, theme::WHITE, 36 - 6 * i);
}

void plate_button(Canvas& c, int x0, int y0, int x1, int y1, const char* label, Rgb face, Rgb ink, int text_size) {
    // x1, y1 are the last pixels that belong to the button.
    double l = x0, t = y0, r = x1 + 1, b = y1 + 1;
    c.round_box(l - 1, t - 1, r + 1, b + 1, 5, theme::OUTLINE);
    c.round_box(l, t, r, b, 4, shade(face, 0.55));
    c.round_box(l, t, r - 1, b - 1, 4, shade(face, 1.45));
    c.round_box(l + 1, t + 1, r - 1, b - 1, 3.5, face);
    c.round_box(l + 2, t + 2, r - 2, (t + b) / 2, 3, theme::WHITE, 50);
    Face f{SANS_BOLD, text_size};
    double mid = (t + b) / 2 - text_size * 0.62;
    c.text(label, f, (l + r) / 2 + 0.6, mid + 0.6, shade(face, 1.5), Align::centre);
    c.text(label, f, (l + r) / 2, mid, ink, Align::centre);
}

void arrow_head(Canvas& c, double x0, double y0, double x1, double y1, Rgb colour) {
    c.poly({{x0, y0}, {x1, (y0 + y1) / 2}, {x0, y1}}, colour);
}

void gear(Canvas& c, double cx, double cy, double r, int teeth, Rgb colour, Rgb hole) {
    const double pi = 3.14159265358979;
    for (int i = 0; i < teeth; ++i) {
        double a = 2 * pi * i / teeth, w = pi / teeth * 0.55;
        double ri = r * 0.78;
        c.poly({{cx + ri * std::cos(a - w), cy + ri * std::sin(a - w)},
                {cx + r * std::cos(a - w * 0.7), cy + r * std::sin(a - w * 0.7)},
                {cx + r * std::cos(a + w * 0.7), cy + r * std::sin(a + w * 0.7)},
                {cx + ri * std::cos(a + w), cy + ri * std::sin(a + w)}},
               colour);
    }
    c.disc(cx, cy, r * 0.8, colour);
    c.disc(cx, cy, r * 0.32, hole);
}
