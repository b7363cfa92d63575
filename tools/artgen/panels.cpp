// The four full-window backgrounds and the three message cards.
#include "theme.h"

namespace {
constexpr int W = 800;
constexpr int H = 600;
constexpr int FLOOR_PX_W = 650;
constexpr int FLOOR_PX_H = 550;
// Backgrounds are large; a finer grid than 2 x 2 samples adds nothing.
constexpr int BIG_SCALE = 2;

void floor_tiles(Canvas& c) {
    for (int x = 0; x < FLOOR_PX_W; x += 25) {
        for (int y = 0; y < FLOOR_PX_H; y += 25) {
            c.box(x, y, x + 25, y + 25, theme::FLOOR_LINE);
            c.box(x, y, x + 24, y + 24, shade(theme::FLOOR, 1.1));
            c.box(x + 1, y + 1, x + 24, y + 24, theme::FLOOR);
        }
    }
}

void panel(Canvas& c, double x0, double y0, double x1, double y1) {
    c.vgradient(x0, y0, x1, y1, theme::PANEL, theme::PANEL_DARK);
}

void brass_edge(Canvas& c, double x0, double y0, double x1, double y1) {
    c.box(x0, y0, x1, y1, theme::BRASS_DARK);
    c.box(x0, y0, x1, y0 + 1, theme::BRASS_LIGHT);
}

// The status line between the save and run buttons: a sunk strip the game
// writes its news into (window x 94 to 448, y 573 to 592), showing `idle`
// while there is none.
void status_well(Canvas& c, const char* idle) {
    c.bevel_box(94, 573, 448, 592, shade(theme::PANEL_DARK, 0.8), true);
    c.text(idle, {SANS, 10}, 100, 575, shade(theme::IVORY, 0.85));
}

void bottom_bar(Canvas& c) {
    panel(c, 0, FLOOR_PX_H, W, H);
    brass_edge(c, 0, FLOOR_PX_H, W, FLOOR_PX_H + 3);
    for (double x : {8.0, 792.0}) {
        rivet(c, x, 565, 2);
        rivet(c, x, 590, 2);
    }
}

void hint(Canvas& c, const char* s, double x, double y, Align a = Align::left) {
    c.text(s, {SANS, 10}, x, y, shade(theme::IVORY, 0.85), a);
}

void engraved(Canvas& c, const char* s, Face f, double x, double y, Rgb colour, Align a) {
    c.text(s, f, x + 1, y + 1, theme::OUTLINE, a);
    c.text(s, f, x, y, colour, a);
}

// The game's name, as it stands over the level list and the editor.
void title(Canvas& c, double x, double y, int size) {
    engraved(c, "GEARLOFT", {SERIF_BOLD, size}, x, y, theme::BRASS_LIGHT, Align::left);
}

void construction() {
    Canvas c(W, H, theme::PANEL, false, BIG_SCALE);
    floor_tiles(c);
    panel(c, FLOOR_PX_W, 0, W, FLOOR_PX_H);
    bottom_bar(c);
    plate_button(c, 22, 561, 83, 586, "SAVE", theme::BRASS, theme::INK, 12);
    plate_button(c, 453, 560, 617, 587, "RUN", {84, 178, 86}, theme::INK, 15);
    arrow_head(c, 560, 566, 574, 581, theme::INK);
    plate_button(c, 651, 561, 770, 587, "EDIT CODE", {120, 156, 214}, theme::INK, 12);
    hint(c, "Space: run   S: step   Tab: code   1 2 3: pages   I: inspect   Esc: leave", 96, 556);
    status_well(c, "Drag parts onto the floor, back to the bin to remove. Ctrl+Z: undo");
    save_picture(c, "background_construction.gif");
}

void simulation() {
    Canvas c(W, H, theme::PANEL, false, BIG_SCALE);
    floor_tiles(c);
    panel(c, FLOOR_PX_W, 0, W, FLOOR_PX_H);
    brass_edge(c, FLOOR_PX_W, 0, FLOOR_PX_W + 3, FLOOR_PX_H);
    brass_plate(c, 666, 14, 786, 48, 5);
    engraved(c, "RUNNING", {SANS_BOLD, 15}, 726, 21, theme::INK, Align::centre);
    gear(c, 726, 120, 44, 12, theme::BRASS_DARK, theme::PANEL);
    gear(c, 726, 120, 40, 12, theme::BRASS, theme::PANEL_DARK);
    gear(c, 690, 200, 24, 9, theme::STEEL_DARK, theme::PANEL);
    gear(c, 690, 200, 21, 9, theme::STEEL, theme::PANEL_DARK);
    const char* notes[] = {"Your program runs", "once per step.", "", "Catchers count down", "from 5. Fill every",
                           "catcher to win.", "", "Esc or STOP ends", "the run and resets", "the floor."};
    double y = 250;
    for (const char* line : notes) {
        hint(c, line, 726, y, Align::centre);
        y += 16;
    }
    bottom_bar(c);
    plate_button(c, 453, 560, 617, 587, "STOP", {214, 70, 56}, theme::INK, 15);
    c.box(562, 567, 574, 580, theme::INK);
    hint(c, "Esc or STOP: end the run and reset the floor", 96, 556);
    status_well(c, "The machine is running. Space ends the run too.");
    save_picture(c, "background_simulation.gif");
}

// The plate the game shows on the panel while a run stands paused; it
// writes the step number into the window below the word.
void paused_plate() {
    Canvas c(128, 96, theme::PANEL, false);
    brass_plate(c, 0, 0, 128, 96, 6);
    engraved(c, "PAUSED", {SANS_BOLD, 15}, 64, 8, theme::INK, Align::centre);
    c.bevel_box(12, 36, 116, 64, theme::PARCHMENT, true);
    c.text("S: one more step", {SANS, 9}, 64, 68, theme::INK, Align::centre);
    c.text("Space: full pace", {SANS, 9}, 64, 80, theme::INK, Align::centre);
    save_picture(c, "paused.gif");
}

// The sign the game lays over the RUNNING plate while a run stands paused,
// so the panel names one state.
void paused_sign() {
    Canvas c(120, 34, MAGENTA, true, BIG_SCALE);
    brass_plate(c, 0, 0, 120, 34, 5);
    engraved(c, "PAUSED", {SANS_BOLD, 15}, 60, 7, theme::INK, Align::centre);
    save_picture(c, "paused_sign.gif");
}

void editing() {
    Canvas c(W, H, theme::PANEL, false, BIG_SCALE);
    panel(c, 0, 0, W, H);
    title(c, 20, 4, 18);
    engraved(c, "PROGRAM", {SANS_BOLD, 14}, 166, 9, theme::IVORY, Align::left);
    plate_button(c, 651, 11, 769, 35, "BACK", theme::BRASS, theme::INK, 12);
    c.poly({{668, 23}, {677, 16}, {677, 30}}, theme::INK);
    // Recessed wells behind the two text areas.
    c.bevel_box(17, 47, 783, 203, theme::PANEL_DARK, true);
    c.bevel_box(17, 217, 783, 583, theme::PANEL_DARK, true);
    engraved(c, "Initialization code", {SANS_BOLD, 11}, 20, 32, theme::BRASS_LIGHT, Align::left);
    hint(c, "runs once when the machine starts", 158, 33);
    engraved(c, "Every-cycle code", {SANS_BOLD, 11}, 20, 202, theme::BRASS_LIGHT, Align::left);
    hint(c, "runs on every step of the machine", 138, 203);
    hint(c, "Esc or BACK returns to the floor", 640, 33, Align::right);
    c.text("pusher_0.on(true)   sensor_0.read()   sprayer_0.spray()   lamp: indicator_0.on(x)   "
           "grabber_0.move_to(5)  .grab()  .release()  .read()",
           {MONO, 9}, 400, 586, shade(theme::IVORY, 0.8), Align::centre);
    save_picture(c, "background_editing.gif");
}

void selection() {
    Canvas c(W, H, theme::PANEL, false, BIG_SCALE);
    panel(c, 0, 0, W, 92);
    gear(c, 48, 46, 34, 12, theme::BRASS_DARK, theme::PANEL);
    gear(c, 48, 46, 31, 12, theme::BRASS, theme::PANEL_DARK);
    gear(c, 96, 70, 18, 9, theme::STEEL, theme::PANEL_DARK);
    title(c, 126, 8, 38);
    engraved(c, "the Brasswick workshop", {SERIF_BOLD, 14}, 130, 58, theme::IVORY, Align::left);
    hint(c, "Click a level to open it, or pick", 785, 14, Align::right);
    hint(c, "one with the arrow keys and Enter.", 785, 30, Align::right);
    hint(c, "Esc quits.", 785, 46, Align::right);
    brass_edge(c, 0, 89, W, 92);
    // The list sits on a sheet of paper, one ruled line under each row.
    c.box(0, 92, W, H, theme::PARCHMENT);
    for (int y = 118; y < H; y += 20)
        c.box(20, y, 780, y + 1, shade(theme::PARCHMENT, 0.9));
    c.box(92, 96, 93, H, {214, 160, 150});
    plate_button(c, 665, 550, 726, 576, "LOAD", theme::BRASS, theme::INK, 12);
    c.text("saved machine", {SANS, 9}, 695, 579, shade(theme::PARCHMENT, 0.5), Align::centre);
    save_picture(c, "background_selection.gif");
}

// A message card drawn over the floor at (50, 350).
constexpr int CARD_W = 700;
constexpr int CARD_H = 120;

void card(Canvas& c, Rgb band, const char* heading, int height = CARD_H) {
    brass_plate(c, 0, 0, CARD_W, height, 8);
    c.round_box(10, 8, CARD_W - 10, 36, 4, theme::OUTLINE);
    c.round_box(11, 9, CARD_W - 11, 35, 3.5, band);
    c.box(13, 10, CARD_W - 13, 21, theme::WHITE, 40);
    engraved(c, heading, {SANS_BOLD, 15}, CARD_W / 2.0, 12, theme::IVORY, Align::centre);
}

void key_cap(Canvas& c, double x, double y, const char* key) {
    c.round_box(x, y, x + 26, y + 26, 4, theme::OUTLINE);
    c.round_box(x + 1, y + 1, x + 25, y + 25, 3.5, theme::IVORY);
    c.round_box(x + 3, y + 3, x + 23, y + 22, 3, shade(theme::IVORY, 0.9));
    c.text(key, {SANS_BOLD, 13}, x + 13, y + 4, theme::INK, Align::centre);
}

// Taller than the others: below the message strip the game writes a hint
// of up to two lines (window rows 427 to 452), which this card leaves plain.
constexpr int ERROR_CARD_H = 150;

void error_card() {
    Canvas c(CARD_W, ERROR_CARD_H, theme::OUTLINE, false);
    card(c, {158, 34, 28}, "THE MACHINE STOPPED", ERROR_CARD_H);
    // The game writes the message centred on this strip (window row 400).
    c.box(10, 39, CARD_W - 10, 63, theme::OUTLINE);
    c.box(11, 40, CARD_W - 11, 62, theme::PARCHMENT);
    c.text("Fix the program in the editor (Tab), then run again.", {SANS, 11}, CARD_W / 2.0, 106, theme::INK,
           Align::centre);
    c.text("Click to continue", {SANS_BOLD, 11}, CARD_W / 2.0, 124, theme::INK, Align::centre);
    save_picture(c, "error.gif");
}

void quit_card() {
    Canvas c(CARD_W, CARD_H, theme::OUTLINE, false);
    card(c, theme::BRASS_DARK, "LEAVE THIS LEVEL?");
    c.text("Anything you have not saved will be lost.", {SANS, 11}, CARD_W / 2.0, 44, theme::INK, Align::centre);
    key_cap(c, 230, 72, "Y");
    c.text("leave", {SANS_BOLD, 13}, 264, 76, theme::INK);
    key_cap(c, 390, 72, "N");
    c.text("stay", {SANS_BOLD, 13}, 424, 76, theme::INK);
    save_picture(c, "quit.gif");
}

void win_card() {
    Canvas c(CARD_W, CARD_H, theme::OUTLINE, false);
    card(c, {40, 132, 62}, "LEVEL COMPLETE!");
    for (double x : {60.0, 640.0}) {
        gear(c, x, 78, 26, 10, theme::BRASS_DARK, theme::BRASS);
        gear(c, x, 78, 23, 10, theme::BRASS_LIGHT, theme::BRASS_DARK);
    }
    c.text("Every catcher got its five deliveries. Well built!", {SANS_BOLD, 13}, CARD_W / 2.0, 48, theme::INK,
           Align::centre);
    c.text("Click to return to your workshop", {SANS, 11}, CARD_W / 2.0, 82, theme::INK, Align::centre);
    save_picture(c, "win.gif");
}
} // namespace

void draw_backgrounds() {
    construction();
    simulation();
    paused_plate();
    paused_sign();
    editing();
    selection();
}

void draw_messages() {
    error_card();
    quit_card();
    win_card();
}
