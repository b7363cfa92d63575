#include "screens/level_list_rows.h"

#include <algorithm>

#include "toolkit/toolkit.h"

std::string level_row_text(int difficulty, const std::string& description) {
    int stars = std::clamp(difficulty, 0, 9);
    std::string row =
        "[" + std::string(static_cast<size_t>(stars), '*') + std::string(9 - static_cast<size_t>(stars), ' ') + "] ";
    row += description;
    if (row.size() > LIST_ROW_MAX)
        row.resize(LIST_ROW_MAX);
    return row;
}

int level_row_at(int y, int row_count) {
    if (y < LIST_TOP)
        return -1;
    int row = (y - LIST_TOP) / LIST_ROW_HEIGHT;
    return row < row_count ? row : -1;
}

bool load_button_hit(int x, int y) { return x >= 665 && x <= 726 && y >= LOAD_BUTTON_TOP && y <= 576; }

void draw_row_highlight(SDL_Surface* screen, int row) {
    if (screen == nullptr)
        return;
    Picture band = plain_picture(screen, 760, LIST_ROW_HEIGHT - 1, 214, 170, 90);
    if (!band)
        return;
    int y = LIST_TOP + LIST_ROW_HEIGHT * row - 2;
    draw_image_fade(band.get(), 20, y, screen, 110);
    fill_rect(screen, 20, y, 3, LIST_ROW_HEIGHT - 1, 116, 84, 38);
}
