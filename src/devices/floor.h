// The floor's geometry as the devices and the level share it: cells, the
// grids with their always-empty extra column and row, and the four
// directions.
#ifndef GEARLOFT_DEVICES_FLOOR_H
#define GEARLOFT_DEVICES_FLOOR_H

// The playable floor is 26 x 22 cells; the grids carry one extra column and
// row that always stay empty, so "one past the right/bottom edge" is readable.
constexpr int FLOOR_W = 26;
constexpr int FLOOR_H = 22;
constexpr int GRID_W = FLOOR_W + 1;
constexpr int GRID_H = FLOOR_H + 1;
constexpr int CELL_PX = 25;

// Direction codes shared by belts, pushers, sensors and sprayers.
constexpr int DIR_UP = 0;
constexpr int DIR_RIGHT = 1;
constexpr int DIR_DOWN = 2;
constexpr int DIR_LEFT = 3;

inline bool on_floor(int x, int y) { return x >= 0 && x < FLOOR_W && y >= 0 && y < FLOOR_H; }

// One step in a direction; any code outside 0..3 gives (0, 0).
struct Step {
    int dx;
    int dy;
};
Step direction_step(int direction);

struct FloorCell {
    int x;
    int y;
    bool operator==(const FloorCell& other) const { return x == other.x && y == other.y; }
    bool operator<(const FloorCell& other) const { return x != other.x ? x < other.x : y < other.y; }
};

// The neighbour of (x, y) in `direction`; an unknown direction faces nowhere,
// so its front cell is (x, y) itself.
FloorCell front_cell(int x, int y, int direction);
// Top-left pixel of the front cell of a device drawn at pixel (px, py).
FloorCell front_pixel(int px, int py, int direction);
// Counter-clockwise turn of a picture drawn pointing up, to face `direction`
// (0, -90, -180, -270); an unknown direction is drawn unturned.
int facing_angle(int direction);

#endif
