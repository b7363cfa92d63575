#include "screens/metrics_panel.h"

#include <vector>

#include "toolkit/toolkit.h"

namespace {
struct Colour {
    int r, g, b;
};
constexpr Colour INK{30, 26, 22};
constexpr Colour NEW_BEST{24, 120, 48};
constexpr Colour WARNING{158, 34, 28};
constexpr Colour PANEL_TEXT{209, 202, 184};
constexpr Colour COUNTER{240, 210, 138};

void text(const std::string& shown, int size, Colour c, int x, int y, SDL_Surface* screen) {
    draw_text(shown.c_str(), size, c.r, c.g, c.b, x, y, screen);
}

void text_right(const std::string& shown, int size, Colour c, int right, int y, SDL_Surface* screen) {
    text(shown, size, c, right - text_width(shown.c_str(), size), y, screen);
}

void box(SDL_Surface* screen, int x, int y, int w, int h, Colour c) {
    fill_rect(screen, x, y, w, h, c.r, c.g, c.b);
}

// The step counter: centred on the panel below its notes, clear of the
// floor and of the stop button.
constexpr int PANEL_CENTRE_X = 726;
constexpr int COUNTER_LABEL_Y = 430;
constexpr int COUNTER_Y = 446;
constexpr int COUNTER_SIZE = 20;
constexpr int COUNTER_PAR_Y = 476;

// Digit by digit, so the texts kept for later frames are ten digits rather
// than one count per step.
void draw_count(SDL_Surface* screen, int value, int centre_x, int y) {
    std::string digits = std::to_string(value);
    int advance = text_width("0", COUNTER_SIZE);
    int x = centre_x - advance * static_cast<int>(digits.size()) / 2;
    for (char digit : digits) {
        text(std::string(1, digit), COUNTER_SIZE, COUNTER, x, y, screen);
        x += advance;
    }
}

// The win table: a plate that ends just above the win card (at y = 350),
// a label column and one column per metric, numbers right-aligned.
constexpr int PLATE_X = 210;
constexpr int PLATE_W = 380;
constexpr int PLATE_BOTTOM = 344;
constexpr int PLATE_PADDING = 12;
constexpr int TABLE_SIZE = 11;
constexpr int LABEL_X = PLATE_X + 18;
constexpr int FIRST_COLUMN_RIGHT = PLATE_X + 170;
constexpr int COLUMN_W = 80;
constexpr int LINE_H = 18;

struct TableLine {
    const char* label;
    std::optional<int> values[3];
    bool marked[3];
};

// One line of the table at height y; `marked` numbers get the new-best
// colour and mark.
void table_line(SDL_Surface* screen, int y, const TableLine& line) {
    text(line.label, TABLE_SIZE, INK, LABEL_X, y, screen);
    for (int i = 0; i < 3; ++i) {
        int right = FIRST_COLUMN_RIGHT + COLUMN_W * i;
        text_right(metric_text(line.values[i]), TABLE_SIZE, line.marked[i] ? NEW_BEST : INK, right, y, screen);
        if (line.marked[i])
            text("new!", 9, NEW_BEST, right + 4, y + 2, screen);
    }
}

// The plate for `lines` lines of text; the top of its first line.
int plate(SDL_Surface* screen, int lines) {
    int height = 2 * PLATE_PADDING + LINE_H * lines;
    int top = PLATE_BOTTOM - height;
    box(screen, PLATE_X, top, PLATE_W, height, {20, 22, 26});
    box(screen, PLATE_X + 1, top + 1, PLATE_W - 2, height - 2, {196, 152, 74});
    box(screen, PLATE_X + 5, top + 5, PLATE_W - 10, height - 10, {238, 228, 204});
    return top + PLATE_PADDING;
}
} // namespace

std::string metric_text(std::optional<int> value) {
    return value ? std::to_string(*value) : "-";
}

void draw_step_counter(SDL_Surface* screen, int steps, const Par& par) {
    draw_text_center("STEP", 10, PANEL_TEXT.r, PANEL_TEXT.g, PANEL_TEXT.b, PANEL_CENTRE_X, COUNTER_LABEL_Y, screen);
    draw_count(screen, steps, PANEL_CENTRE_X, COUNTER_Y);
    if (par.steps) {
        std::string shown = "par " + std::to_string(*par.steps);
        draw_text_center(shown.c_str(), 10, PANEL_TEXT.r, PANEL_TEXT.g, PANEL_TEXT.b, PANEL_CENTRE_X, COUNTER_PAR_Y,
                         screen);
    }
}

void draw_win_metrics(SDL_Surface* screen, const WinReport& report) {
    std::vector<TableLine> lines;
    lines.push_back({"this run", {report.run.steps, report.run.parts, report.run.code}, {}});
    if (report.records) {
        const RecordOutcome& r = *report.records;
        lines.push_back(
            {"your best", {r.bests.steps, r.bests.parts, r.bests.code}, {r.new_steps, r.new_parts, r.new_code}});
    }
    lines.push_back({"par", {report.par.steps, report.par.parts, report.par.code}, {}});
    bool unsaved = report.records && !report.records->failure.empty();
    int y = plate(screen, 1 + static_cast<int>(lines.size()) + (unsaved ? 1 : 0));
    const char* headings[] = {"steps", "parts", "code"};
    for (int i = 0; i < 3; ++i)
        text_right(headings[i], TABLE_SIZE, INK, FIRST_COLUMN_RIGHT + COLUMN_W * i, y, screen);
    for (const TableLine& line : lines)
        table_line(screen, y += LINE_H, line);
    if (unsaved)
        text("The bests could not be written (see the terminal).", 9, WARNING, LABEL_X, y + LINE_H + 2, screen);
}

void draw_tick(SDL_Surface* screen, int x, int y) {
    box(screen, x, y, TICK_SIZE, TICK_SIZE, NEW_BEST);
    // Two strokes, two pixels thick: down to the bottom, then up to the right.
    for (int i = 0; i < 3; ++i)
        box(screen, x + 2 + i, y + 5 + i, 2, 2, {255, 255, 255});
    for (int i = 0; i < 5; ++i)
        box(screen, x + 5 + i, y + 6 - i, 2, 2, {255, 255, 255});
}
