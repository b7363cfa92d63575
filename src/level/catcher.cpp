#include "level/catcher.h"

#include <vector>

#include "level/level.h"

Catcher::Catcher(int x, int y, int width, int height, std::string pattern_text)
    : x(x), y(y), width(width), height(height), pattern(std::move(pattern_text)) {
    for (char c : pattern)
        if (static_cast<unsigned char>(c) != EMPTY_BLOCK)
            ++pattern_blocks;
}

bool Catcher::is_valid() const {
    if (width <= 0 || height <= 0 || x < 0 || y < 0)
        return false;
    if (x + width + 1 > FLOOR_W - 1 || y + height + 1 > FLOOR_H - 1)
        return false;
    return pattern.size() == static_cast<size_t>(width) * static_cast<size_t>(height);
}

bool Catcher::matches_at(const Level* level, int group, int ox, int oy) const {
    for (int px = 0; px < width; ++px) {
        for (int py = 0; py < height; ++py) {
            unsigned char want = static_cast<unsigned char>(pattern[py * width + px]);
            if (want == EMPTY_BLOCK)
                continue;
            int cx = x + ox + px;
            int cy = y + oy + py;
            if (level->blocks[cx][cy] != want || level->groups[cx][cy] != group)
                return false;
        }
    }
    return true;
}

static int count_group_cells(const Level* level, int group) {
    int count = 0;
    for (int cx = 0; cx < FLOOR_W; ++cx)
        for (int cy = 0; cy < FLOOR_H; ++cy)
            if (level->groups[cx][cy] == group)
                ++count;
    return count;
}

static void take_group(Level* level, int group) {
    for (int cx = 0; cx < FLOOR_W; ++cx) {
        for (int cy = 0; cy < FLOOR_H; ++cy) {
            if (level->groups[cx][cy] != group)
                continue;
            level->blocks[cx][cy] = EMPTY_BLOCK;
            level->groups[cx][cy] = 0;
            level->sticky[cx][cy] = 0;
        }
    }
}

void Catcher::tick(Level* level) {
    if (!is_valid())
        return;

    // Every group with a block in the area, in order of first sight.
    std::vector<int> candidates;
    for (int ox = 0; ox < 3; ++ox)
        for (int oy = 0; oy < 3; ++oy)
            for (int px = 0; px < width; ++px)
                for (int py = 0; py < height; ++py) {
                    int g = level->groups[x + ox + px][y + oy + py];
                    if (g == 0)
                        continue;
                    bool seen = false;
                    for (int c : candidates)
                        seen = seen || c == g;
                    if (!seen)
                        candidates.push_back(g);
                }

    for (int g : candidates) {
        for (int ox = 0; ox < 3; ++ox) {
            for (int oy = 0; oy < 3; ++oy) {
                if (!matches_at(level, g, ox, oy))
                    continue;
                if (count_group_cells(level, g) != pattern_blocks)
                    continue;
                if (remaining > 0)
                    --remaining;
                take_group(level, g);
            }
        }
    }
}
