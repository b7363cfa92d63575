#include "screens/run_tools.h"

#include <algorithm>

#include "text/message_text.h"
#include "toolkit/toolkit.h"

namespace {
constexpr int FASTEST_FRAMES_MAX = 5000;

struct Colour {
    int r, g, b;
};
constexpr Colour PANEL_TEXT{209, 202, 184};
constexpr Colour FAST{240, 210, 138};
constexpr int PANEL_CENTRE_X = 726;
constexpr int SPEED_LABEL_Y = 496;
constexpr int SPEED_Y = 510;

constexpr Colour CONSOLE_RIM{120, 98, 58};
constexpr Colour CONSOLE_BACK{22, 24, 28};
constexpr Colour CONSOLE_TITLE{240, 210, 138};
constexpr Colour CONSOLE_TEXT{214, 222, 214};
constexpr Colour CONSOLE_QUIET{130, 134, 128};
constexpr int CONSOLE_SIZE = 10;
constexpr int CONSOLE_PADDING = 6;

void text(SDL_Surface* screen, const std::string& shown, int size, Colour c, int x, int y) {
    draw_text(shown.c_str(), size, c.r, c.g, c.b, x, y, screen);
}
} // namespace

RunSpeed next_speed(RunSpeed speed) {
    switch (speed) {
    case RunSpeed::normal:
        return RunSpeed::x4;
    case RunSpeed::x4:
        return RunSpeed::x16;
    case RunSpeed::x16:
        return RunSpeed::fastest;
    case RunSpeed::fastest:
        return RunSpeed::normal;
    }
    return RunSpeed::normal;
}

int frames_per_picture(RunSpeed speed) {
    switch (speed) {
    case RunSpeed::normal:
        return 1;
    case RunSpeed::x4:
        return 4;
    case RunSpeed::x16:
        return 16;
    case RunSpeed::fastest:
        return FASTEST_FRAMES_MAX;
    }
    return 1;
}

std::string speed_text(RunSpeed speed) {
    return speed == RunSpeed::fastest ? "max" : std::to_string(frames_per_picture(speed)) + "x";
}

void draw_run_speed(SDL_Surface* screen, RunSpeed speed) {
    if (speed == RunSpeed::normal)
        return;
    draw_text_center("SPEED (F)", 10, PANEL_TEXT.r, PANEL_TEXT.g, PANEL_TEXT.b, PANEL_CENTRE_X, SPEED_LABEL_Y, screen);
    draw_text_center(speed_text(speed).c_str(), 16, FAST.r, FAST.g, FAST.b, PANEL_CENTRE_X, SPEED_Y, screen);
}

void draw_console(SDL_Surface* screen, const std::vector<std::string>& lines) {
    fill_rect(screen, CONSOLE_X, CONSOLE_Y, CONSOLE_W, CONSOLE_H, CONSOLE_RIM.r, CONSOLE_RIM.g, CONSOLE_RIM.b);
    fill_rect(screen, CONSOLE_X + 2, CONSOLE_Y + 2, CONSOLE_W - 4, CONSOLE_H - 4, CONSOLE_BACK.r, CONSOLE_BACK.g,
              CONSOLE_BACK.b);
    int x = CONSOLE_X + CONSOLE_PADDING;
    int y = CONSOLE_Y + CONSOLE_PADDING - 2;
    int line_h = std::max(1, text_line_height(CONSOLE_SIZE));
    int width = CONSOLE_W - 2 * CONSOLE_PADDING;
    text(screen, "PRINTED BY YOUR PROGRAM (C closes)", CONSOLE_SIZE, CONSOLE_TITLE, x, y);
    if (lines.empty()) {
        text(screen, "Nothing yet: print(...) in your code writes here.", CONSOLE_SIZE, CONSOLE_QUIET, x, y + line_h);
        return;
    }
    std::size_t room = static_cast<std::size_t>((CONSOLE_H - 2 * CONSOLE_PADDING) / line_h - 1);
    std::size_t first = lines.size() > room ? lines.size() - room : 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        std::string shown = shortened_message(lines[i]);
        if (text_width(shown.c_str(), CONSOLE_SIZE) > width)
            shown = cut_to_width(shown, CONSOLE_SIZE, width, ELLIPSIS);
        text(screen, shown, CONSOLE_SIZE, CONSOLE_TEXT, x, y += line_h);
    }
}
