// What the player is shown of the metrics (run/measure.h): the step count
// on the running machine's panel, and the numbers of a win above the win
// card. Each is drawn by a function of its own, so other panel texts can
// stand beside them.
#ifndef GEARLOFT_SCREENS_METRICS_PANEL_H
#define GEARLOFT_SCREENS_METRICS_PANEL_H

#include <SDL.h>

#include <optional>
#include <string>

#include "files/level_file.h"
#include "files/records.h"

// The step count of the running machine, and the level's par for it, on the
// simulation panel below its notes.
void draw_step_counter(SDL_Surface* screen, int steps, const Par& par);

// A win's numbers: this run's, the bests after it (none when no records are
// kept) with the ones it improved, and the level's par.
struct WinReport {
    Metrics run;
    std::optional<RecordOutcome> records;
    Par par;
};
// A table of the report on a plate above the win card, which it leaves as
// it is.
void draw_win_metrics(SDL_Surface* screen, const WinReport& report);

// The solved mark, a tick in a box `size` pixels high with its top-left
// corner at (x, y).
constexpr int TICK_SIZE = 11;
void draw_tick(SDL_Surface* screen, int x, int y);

// A number, or "-" for none.
std::string metric_text(std::optional<int> value);

#endif
