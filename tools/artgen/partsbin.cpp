// The parts bin: its three pages (with their page arrows), the button frames
// in four colours, the small icons inside them, and the belt drag picture.
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#include "theme.h"

namespace {
constexpr int PAGE_W = 150;
constexpr int PAGE_H = 550;
constexpr int PAGES = 3;
constexpr int BUTTON_W = 30;
constexpr int BUTTON_H = 29;
constexpr int ICON_W = 14;
constexpr int ICON_H = 13;

void caption(Canvas& c, const char* s, double y) {
    Face f{SANS_BOLD, 10};
    int w = c.text_width(s, f);
    c.text(s, f, PAGE_W / 2.0 + 1, y + 1, theme::OUTLINE, Align::centre);
    c.text(s, f, PAGE_W / 2.0, y, theme::BRASS_LIGHT, Align::centre);
    double mid = y + 7;
    c.box(10, mid, PAGE_W / 2.0 - w / 2.0 - 5, mid + 1, theme::BRASS_DARK);
    c.box(PAGE_W / 2.0 + w / 2.0 + 5, mid, PAGE_W - 10, mid + 1, theme::BRASS_DARK);
}

void small_note(Canvas& c, const char* s, double x, double y, Face f = {SANS, 8}) {
    c.text(s, f, x, y, shade(theme::IVORY, 0.8), Align::centre);
}

// A recessed tray behind a group of buttons.
void tray(Canvas& c, double x0, double y0, double x1, double y1) {
    c.round_box(x0, y0, x1, y1, 4, shade(theme::PANEL_DARK, 0.7));
    c.round_box(x0 + 1, y0 + 1, x1, y1, 4, shade(theme::PANEL, 1.2));
    c.round_box(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 3.5, theme::PANEL_DARK);
}

// The page arrows at the bottom: previous page at x 21..69, next at 86..134,
// rows 516..529. A direction with no page is drawn dimmed.
void page_arrow(Canvas& c, double x0, bool next, bool enabled) {
    double x1 = x0 + 49, y0 = 516, y1 = 530;
    Rgb face = enabled ? theme::BRASS : shade(theme::PANEL, 1.15);
    Rgb ink = enabled ? theme::INK : shade(theme::PANEL, 0.8);
    c.round_box(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 4, theme::OUTLINE);
    c.round_box(x0, y0, x1, y1, 3.5, face);
    c.box(x0 + 2, y0 + 1, x1 - 2, y0 + 6, theme::WHITE, enabled ? 50 : 15);
    if (next) {
        c.text("next", {SANS_BOLD, 8}, x0 + 19, y0 + 1.5, ink, Align::centre);
        arrow_head(c, x1 - 13, y0 + 3, x1 - 5, y1 - 3, ink);
    } else {
        c.text("back", {SANS_BOLD, 8}, x0 + 30, y0 + 1.5, ink, Align::centre);
        c.poly({{x0 + 13, y0 + 3}, {x0 + 5, (y0 + y1) / 2}, {x0 + 13, y1 - 3}}, ink);
    }
}

void page_frame(Canvas& c, int page, const char* title) {
    c.vgradient(0, 0, PAGE_W, PAGE_H, theme::PANEL, theme::PANEL_DARK);
    c.box(0, 0, 3, PAGE_H, theme::BRASS_DARK);
    c.box(2, 0, 3, PAGE_H, theme::BRASS_LIGHT);
    brass_plate(c, 10, 4, PAGE_W - 8, 26, 4);
    c.text(title, {SANS_BOLD, 9}, PAGE_W / 2.0 + 1, 8.5, theme::INK, Align::centre);
    page_arrow(c, 21, false, page > 0);
    page_arrow(c, 86, true, page < PAGES - 1);
    char pages[64];
    std::snprintf(pages, sizeof pages, "page %d of %d   (keys 1 2 3)", page + 1, PAGES);
    small_note(c, pages, PAGE_W / 2.0, 534);
}

struct Label {
    const char* text;
    double x, y;
};
struct Tray {
    double x0, y0, x1, y1;
};

// What a page shows around its buttons: group captions (centred at y),
// trays behind the groups, small notes, and help lines from help_y down
// (a line starting with '>' is Lua code).
struct PageArt {
    const char* file;
    const char* title;
    std::vector<std::pair<const char*, double>> captions;
    std::vector<Tray> trays;
    std::vector<Label> notes;
    double help_y;
    std::vector<const char*> help;
};

void help_lines(Canvas& c, double y, const std::vector<const char*>& lines) {
    for (const char* line : lines) {
        if (line[0] == '>')
            c.text(line + 1, {MONO, 8}, PAGE_W / 2.0, y, theme::BRASS_LIGHT, Align::centre);
        else
            small_note(c, line, PAGE_W / 2.0, y);
        y += 13;
    }
}

void draw_page(int page, const PageArt& art) {
    Canvas c(PAGE_W, PAGE_H, theme::PANEL, false);
    page_frame(c, page, art.title);
    for (const auto& caption_at : art.captions)
        caption(c, caption_at.first, caption_at.second);
    for (const Tray& t : art.trays)
        tray(c, t.x0, t.y0, t.x1, t.y1);
    for (const Label& note : art.notes)
        small_note(c, note.text, note.x, note.y);
    help_lines(c, art.help_y, art.help);
    save_picture(c, art.file);
}

// The trays sit 6 pixels round the button groups at the places the bin
// draws its buttons (a button is 30 x 29).
const PageArt PAGES_ART[PAGES] = {
    {"parts_conveyers.gif",
     "BELTS",
     {{"DIRECTION", 46}, {"SPEED", 176}, {"LENGTH", 276}, {"DRAG A BELT", 404}},
     {{18, 66, 131, 139}, {24, 194, 127, 235}, {24, 294, 127, 377}, {32, 425, 115, 475}},
     {{"normal", 45, 237}, {"fast", 107, 237}, {"onto the floor", PAGE_W / 2.0, 479}},
     0,
     {}},
    {"parts_sensorsprayer.gif",
     "SENSORS & SPRAYERS",
     {{"SENSORS", 30}, {"SPRAYERS", 152}},
     {{18, 46, 131, 119}, {18, 170, 131, 243}},
     {},
     262,
     {"A sensor reads true while", "a block stands in front.", ">sensor_0.read()", "", "A sprayer glues the block",
      "in front to its neighbours", "at the next push.", ">sprayer_0.spray()", "", "Drag a part onto the floor.",
      "Drag it back here to", "remove it."}},
    {"parts_pusherindicator.gif",
     "PUSHERS & MORE",
     {{"PUSHERS", 30}, {"LAMPS", 144}, {"GRABBERS", 264}},
     {{18, 46, 131, 119}, {24, 161, 127, 245}, {24, 282, 127, 323}},
     {{"claw left", 45, 325}, {"claw right", 107, 325}},
     352,
     {">pusher_0.on(true)", "", "In programs a lamp is", "indicator_0, indicator_1, ...", ">indicator_0.on(true)", "",
      ">grabber_0.move_to(5)", ">grabber_0.grab()", ">grabber_0.release()", ">grabber_0.read()",
      "A grabber's track is", "18 cells tall."}},
};

struct ButtonColour {
    const char* name;
    Rgb colour;
};

void button_frame(const ButtonColour& bc, bool lit) {
    Canvas c(BUTTON_W, BUTTON_H, theme::PANEL_DARK, false);
    Rgb rim = lit ? shade(bc.colour, 1.15) : mix(shade(bc.colour, 0.6), theme::STEEL_DARK, 0.35);
    c.round_box(0, 0, BUTTON_W, BUTTON_H, 4, theme::OUTLINE);
    c.round_box(1, 1, BUTTON_W - 1, BUTTON_H - 1, 3.5, shade(rim, 0.7));
    c.round_box(1, 1, BUTTON_W - 2, BUTTON_H - 2, 3.5, shade(rim, 1.3));
    c.round_box(2, 2, BUTTON_W - 2, BUTTON_H - 2, 3, rim);
    Rgb inside = lit ? mix(bc.colour, theme::OUTLINE, 0.45) : Rgb{34, 36, 42};
    c.round_box(5, 5, BUTTON_W - 5, BUTTON_H - 5, 2, theme::OUTLINE);
    c.round_box(6, 6, BUTTON_W - 5, BUTTON_H - 5, 2, inside);
    if (lit)
        c.round_box(6, 6, BUTTON_W - 6, 12, 2, theme::WHITE, 45);
    char file[64];
    std::snprintf(file, sizeof file, "button_%s_%s.gif", lit ? "on" : "off", bc.name);
    save_picture(c, file);
}

// A fat arrow pointing right, turned to `quarter` x 90 degrees clockwise.
void arrow_icon(const char* file, int quarter) {
    Canvas c(ICON_W, ICON_H, MAGENTA, true);
    auto turn = [quarter](double x, double y) {
        double cx = ICON_W / 2.0, cy = ICON_H / 2.0, dx = x - cx, dy = y - cy;
        for (int i = 0; i < quarter; ++i) {
            double t = dx;
            dx = -dy;
            dy = t;
        }
        return Pt{cx + dx, cy + dy};
    };
    for (int pass = 0; pass < 2; ++pass) {
        double g = pass == 0 ? 0 : 1; // outline first, then the face inset by one pixel
        Rgb colour = pass == 0 ? theme::OUTLINE : theme::IVORY;
        c.poly({turn(1 + g, 4.5 + g), turn(7, 4.5 + g), turn(7, 0.5 + g * 1.8), turn(13.5 - g * 1.5, 6.5),
                turn(7, 12.5 - g * 1.8), turn(7, 8.5 - g), turn(1 + g, 8.5 - g)},
               colour);
    }
    save_picture(c, file);
}

void text_icon(const char* file, const char* label, int size) {
    Canvas c(ICON_W, ICON_H, MAGENTA, true);
    double top = ICON_H / 2.0 - size * 0.62;
    for (double dx : {-1.0, 0.0, 1.0})
        for (double dy : {-1.0, 0.0, 1.0})
            c.text(label, {SANS_BOLD, size}, ICON_W / 2.0 + dx, top + dy, theme::OUTLINE, Align::centre);
    c.text(label, {SANS_BOLD, size}, ICON_W / 2.0, top, theme::IVORY, Align::centre);
    save_picture(c, file);
}

// The handle for dragging out a new belt: a short belt on a brass plate.
void drag_picture() {
    Canvas c(73, 40, theme::PANEL_DARK, false);
    brass_plate(c, 0, 0, 73, 40, 5);
    c.box(6, 8, 67, 32, theme::OUTLINE);
    c.vgradient(7, 12, 66, 28, {64, 64, 70}, {38, 38, 42});
    c.vgradient(7, 9, 66, 12, theme::STEEL_LIGHT, theme::STEEL_DARK);
    c.vgradient(7, 28, 66, 31, theme::STEEL_LIGHT, theme::STEEL_DARK);
    for (double x : {12.0, 30.0, 48.0}) {
        c.poly({{x, 14}, {x + 4, 14}, {x + 9, 20}, {x + 4, 26}, {x, 26}, {x + 5, 20}}, {244, 180, 44});
    }
    save_picture(c, "button_drag.gif");
}
} // namespace

void draw_parts_bin() {
    for (int page = 0; page < PAGES; ++page)
        draw_page(page, PAGES_ART[page]);
    const ButtonColour colours[] = {
        {"red", theme::RED}, {"green", theme::GREEN}, {"blue", theme::BLUE}, {"orange", theme::ORANGE}};
    for (const ButtonColour& bc : colours) {
        button_frame(bc, false);
        button_frame(bc, true);
    }
    drag_picture();
    arrow_icon("arrow_right.gif", 0);
    arrow_icon("arrow_down.gif", 1);
    arrow_icon("arrow_left.gif", 2);
    arrow_icon("arrow_up.gif", 3);
    text_icon("button_one.gif", "1", 11);
    text_icon("button_two.gif", "2", 11);
    text_icon("button_four.gif", "4", 11);
    text_icon("button_eight.gif", "8", 11);
    text_icon("button_onex.gif", "1x", 8);
    text_icon("button_twox.gif", "2x", 8);
}
