#ifndef GEARLOFT_LEVEL_LEVEL_H
#define GEARLOFT_LEVEL_LEVEL_H

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "devices/floor.h"
#include "level/catcher.h"
#include "level/spawner.h"

class Device;

// Block type of an empty cell.
constexpr unsigned char EMPTY_BLOCK = 'x';

// A block type and its picture file.
struct BlockType {
    unsigned char type;
    const char* picture;
};
extern const BlockType BLOCK_TYPES[19];
// The picture file of a block type; null for the empty type and for any
// character without a picture.
const char* block_picture_file(unsigned char type);

// The factory floor of one open level.
class Level {
public:
    int ticks = 0;
    unsigned char blocks[GRID_W][GRID_H];
    int groups[GRID_W][GRID_H];
    unsigned char sticky[GRID_W][GRID_H];
    unsigned char held[GRID_W][GRID_H];
    std::vector<std::unique_ptr<Spawner>> spawners;
    std::vector<std::unique_ptr<Catcher>> catchers;
    std::vector<std::unique_ptr<Device>> devices;
    // Groups some belt already moved this step, one set per direction.
    std::set<int> moved[4];
    std::string level_name;
    // The player's saved program texts; only set for a level opened from a save.
    std::optional<std::string> init_code;
    std::optional<std::string> cycle_code;
    int next_group = 1;

    // An empty level: floor cleared, nothing on it. The file readers fill it
    // (see files/level_file.h).
    Level();
    ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    void tick();
    void reset();
    void clear_blocks();
    void add_block(int x, int y, unsigned char type);
    bool push_block(int x, int y, int dx, int dy);
    bool push_group(int group, int dx, int dy);
    void do_sticky();
    bool win() const;
    bool device_in_devices(const Device* d) const;
    void debug() const;


    // Safe cell access: a cell outside the 27 x 23 grids holds no block and
    // carries no marks; writes there are ignored.
    static bool in_grid(int x, int y) { return x >= 0 && x < GRID_W && y >= 0 && y < GRID_H; }
    static bool on_floor(int x, int y) { return ::on_floor(x, y); }
    unsigned char block_at(int x, int y) const { return in_grid(x, y) ? blocks[x][y] : EMPTY_BLOCK; }
    int group_at(int x, int y) const { return in_grid(x, y) ? groups[x][y] : 0; }
    bool has_block(int x, int y) const { return block_at(x, y) != EMPTY_BLOCK; }
    void set_sticky(int x, int y, unsigned char mark);
    void set_held(int x, int y, unsigned char mark);

private:
    bool group_can_clear_way(int group, int dx, int dy);
    void move_group(int group, int dx, int dy);
    void regroup(int old_group, int new_group);

    // Groups whose push is in progress, innermost last (see push_group).
    std::vector<int> pushing_;
};

#endif
