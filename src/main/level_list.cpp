#include "main/level_list.h"

#include <algorithm>

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

bool load_button_hit(int x, int y) { return x >= 665 && x <= 726 && y >= 550 && y <= 576; }
