#include "screens/level_list_records.h"

#include "screens/metrics_panel.h"
#include "toolkit/toolkit.h"

namespace {
constexpr int SIZE = 10;
// The ruled lines of the list end here, and the columns end with them.
constexpr int RIGHT = 778;
// Room kept between the row's text and the records, and after the tick.
constexpr int GAP = 8;
constexpr int TICK_GAP = 5;
constexpr int HEADING_Y = 75;
constexpr int SPAN_Y = 65;
constexpr int SPAN_RULE_Y = 73;

// Cell widths in characters, room for four-digit steps, two-digit parts and
// three-digit code.
constexpr std::size_t STEPS_W = 9, PARTS_W = 5, CODE_W = 7;

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string cell(std::optional<int> best, std::optional<int> par, ParShown shown) {
    return shown == ParShown::beside_bests ? metric_text(best) + "/" + metric_text(par) : metric_text(best);
}

int width_of(const std::string& text) {
    return text_width(text.c_str(), SIZE);
}
} // namespace

std::string records_cells(const Bests* best, const Par& par, ParShown shown) {
    std::string steps = cell(best ? std::optional(best->steps) : std::nullopt, par.steps, shown);
    std::string parts = cell(best ? std::optional(best->parts) : std::nullopt, par.parts, shown);
    std::string code = cell(best ? best->code : std::nullopt, par.code, shown);
    // The bests alone are shown only where the columns do not fit anyway.
    if (shown == ParShown::left_out)
        return steps + " " + parts + " " + code;
    return padded(steps, STEPS_W) + " " + padded(parts, PARTS_W) + " " + padded(code, CODE_W);
}

std::string records_heading() {
    return padded("steps", STEPS_W) + " " + padded("parts", PARTS_W) + " " + padded("code", CODE_W);
}

void draw_row_records(SDL_Surface* screen, int row_y, int text_right, const Bests* best, const Par& par) {
    if (best == nullptr && !par.steps && !par.parts && !par.code)
        return;
    int room = RIGHT - text_right - GAP;
    int tick = best != nullptr ? TICK_SIZE + TICK_GAP : 0;
    std::string shown = records_cells(best, par);
    if (tick + width_of(shown) > room)
        shown = best != nullptr ? records_cells(best, par, ParShown::left_out) : "";
    if (tick + width_of(shown) > room)
        shown.clear();
    if (tick > room)
        return;
    int cells_x = RIGHT - width_of(shown);
    if (best != nullptr)
        draw_tick(screen, cells_x - tick, row_y + 1);
    // Records of a solved level in dark ink, a par alone paler.
    int shade = best != nullptr ? 70 : 140;
    draw_text(shown.c_str(), SIZE, shade + 20, shade, shade - 20, cells_x, row_y, screen);
}

// The column names under one "best/par" that spans them all, as a table
// heading spans its columns, so that it reads as the form of every cell.
void draw_records_heading(SDL_Surface* screen) {
    std::string heading = records_heading();
    draw_text(heading.c_str(), SIZE, 209, 202, 184, RIGHT - width_of(heading), HEADING_Y, screen);
    int names_left = RIGHT - width_of(heading.substr(heading.find_first_not_of(' ')));
    draw_text_center("best/par", SIZE, 209, 202, 184, (names_left + RIGHT) / 2, SPAN_Y, screen);
    fill_rect(screen, names_left, SPAN_RULE_Y, RIGHT - names_left, 1, 150, 130, 90);
}
