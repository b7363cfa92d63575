// Marks drawn on the floor's own things rather than on blocks or machines:
// the frame that tells a spawner from a block lying on its cell, and the slot
// a catcher's faded pattern sits on, so that each pattern block keeps its
// own colour instead of taking on the catcher's blue.
#include "theme.h"

namespace {
constexpr int CELL = 25;

// Brass brackets in the four corners; the middle stays see-through, so the
// spawner's block shows inside (or, for spawners sharing a cell, their
// blocks side by side).
void spawner_frame() {
    Canvas c(CELL, CELL, MAGENTA, true);
    const double arm = 8, bar = 3;
    for (bool right : {false, true}) {
        for (bool low : {false, true}) {
            double x0 = right ? CELL - arm : 0, y0 = low ? CELL - bar : 0;
            double vx0 = right ? CELL - bar : 0, vy0 = low ? CELL - arm : 0;
            c.box(x0, y0, x0 + arm, y0 + bar, theme::OUTLINE);
            c.box(vx0, vy0, vx0 + bar, vy0 + arm, theme::OUTLINE);
            c.box(x0 + 0.5, y0 + 0.5, x0 + arm - 0.5, y0 + bar - 0.5, theme::BRASS_LIGHT);
            c.box(vx0 + 0.5, vy0 + 0.5, vx0 + bar - 0.5, vy0 + arm - 0.5, theme::BRASS_LIGHT);
        }
    }
    save_picture(c, "spawner.gif");
}

// A light grey recess: half of it shows through a faded block, and grey
// shifts no colour.
void catcher_slot() {
    Canvas c(CELL, CELL, {116, 116, 128}, false);
    c.round_box(1, 1, 24, 24, 2.5, {176, 178, 186});
    c.round_box(2, 2, 23, 23, 2, {214, 216, 222});
    save_picture(c, "catcher_slot.gif");
}
} // namespace

void draw_floor_marks() {
    spawner_frame();
    catcher_slot();
}
