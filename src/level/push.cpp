// Moving blocks: a push always moves a whole group and shoves the groups in
// its way; afterwards glue marks merge touching groups.
#include <algorithm>

#include "devices/device.h"
#include "level/level.h"

bool Level::push_block(int x, int y, int dx, int dy) {
    // Beyond the grids there is nothing to push and no room to push into.
    if (!in_grid(x, y))
        return false;
    int g = groups[x][y];
    if (g == 0)
        return true;
    bool moved_ok = push_group(g, dx, dy);
    do_sticky();
    return moved_ok;
}

// Interlocking groups: when a group in the way could only move by shoving a
// group whose own push is still in progress (two glued shapes hooked into each
// other along the push), the push fails. So every push ends, and no group
// moves twice in one push. Groups already shoved aside stay where they went.
bool Level::push_group(int group, int dx, int dy) {
    if (std::find(pushing_.begin(), pushing_.end(), group) != pushing_.end())
        return false;
    pushing_.push_back(group);
    bool clear = group_can_clear_way(group, dx, dy);
    pushing_.pop_back();
    if (!clear)
        return false;
    move_group(group, dx, dy);
    return true;
}

bool Level::group_can_clear_way(int group, int dx, int dy) {
    for (int x = 0; x < FLOOR_W; ++x) {
        for (int y = 0; y < FLOOR_H; ++y) {
            if (groups[x][y] != group)
                continue;
            if (held[x][y])
                return false;
            int tx = x + dx;
            int ty = y + dy;
            if (!on_floor(tx, ty))
                return false;
            for (auto& device : devices)
                if (device->block_collide(tx, ty))
                    return false;
            int other = groups[tx][ty];
            if (other != 0 && other != group && !push_group(other, dx, dy))
                return false;
        }
    }
    return true;
}

void Level::move_group(int group, int dx, int dy) {
    struct Cell {
        int x, y;
        unsigned char type, mark;
    };
    // Lift the whole group before dropping any of it, so it may move into
    // cells it occupied itself.
    Cell cells[FLOOR_W * FLOOR_H];
    int count = 0;
    for (int x = 0; x < FLOOR_W; ++x) {
        for (int y = 0; y < FLOOR_H; ++y) {
            if (groups[x][y] != group)
                continue;
            cells[count++] = {x, y, blocks[x][y], sticky[x][y]};
            blocks[x][y] = EMPTY_BLOCK;
            groups[x][y] = 0;
            sticky[x][y] = 0;
        }
    }
    for (int i = 0; i < count; ++i) {
        int tx = cells[i].x + dx;
        int ty = cells[i].y + dy;
        blocks[tx][ty] = cells[i].type;
        groups[tx][ty] = group;
        sticky[tx][ty] = cells[i].mark ? 1 : 0;
    }
}

void Level::regroup(int old_group, int new_group) {
    for (int x = 0; x < FLOOR_W; ++x)
        for (int y = 0; y < FLOOR_H; ++y)
            if (groups[x][y] == old_group)
                groups[x][y] = new_group;
}

void Level::do_sticky() {
    static const int order[4][2] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}}; // below, above, right, left
    for (int x = 0; x < FLOOR_W; ++x) {
        for (int y = 0; y < FLOOR_H; ++y) {
            if (sticky[x][y] != 1 || groups[x][y] == 0)
                continue;
            for (const auto& step : order) {
                int nx = x + step[0];
                int ny = y + step[1];
                if (!on_floor(nx, ny) || blocks[nx][ny] == EMPTY_BLOCK)
                    continue;
                if (groups[nx][ny] == groups[x][y])
                    continue;
                regroup(groups[nx][ny], groups[x][y]);
                sticky[x][y] = 0;
                sticky[nx][ny] = 0;
            }
        }
    }
}
