#ifndef GEARLOFT_DEVICES_DEVICE_H
#define GEARLOFT_DEVICES_DEVICE_H

#include <SDL.h>

#include <memory>
#include <string>

class Level;

// Longest Lua name a device can carry (the name buffer holds 32 bytes).
constexpr int DEVICE_NAME_MAX = 31;

// Direction codes shared by belts, pushers, sensors and sprayers.
constexpr int DIR_UP = 0;
constexpr int DIR_RIGHT = 1;
constexpr int DIR_DOWN = 2;
constexpr int DIR_LEFT = 3;

// One step in a direction; any code outside 0..3 gives (0, 0).
struct Step {
    int dx;
    int dy;
};
Step direction_step(int direction);

// A machine standing on the factory floor.
class Device {
public:
    int x;
    int y;
    char name[DEVICE_NAME_MAX + 1];
    bool fixed;
    std::string kind;
    int number = 0;

    Device(int x, int y, bool fixed);
    virtual ~Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Draws the device with its anchor cell at pixel (px, py); `labels` is true
    // while the player is building.
    virtual void draw_at(SDL_Surface* dst, int px, int py, bool labels) = 0;
    virtual void tick(Level* level) = 0;
    virtual void code_action(const char* verb, int arg, Level* level) = 0;
    // Cell (cx, cy) is solid: no block may be pushed into it.
    virtual bool block_collide(int cx, int cy) = 0;
    // Cell (cx, cy) is covered by the device.
    virtual bool floor_collide(int cx, int cy) = 0;
    // A new device of the same class and constructor arguments; no name, no
    // number, no run state.
    virtual std::unique_ptr<Device> copy() = 0;
    virtual void give_name(int n) = 0;
    // The Lua text defining this device's table; empty for unscriptable kinds.
    virtual std::string get_code_stub(Level* level) = 0;
    virtual void reset() = 0;
    // Drawn beneath the blocks.
    virtual bool is_low() = 0;
    // The one-line save record, without its line end.
    virtual std::string get_save_stub(Level* level) = 0;

    // Some floor cell is covered by both devices.
    bool device_collide(Device* other);
    void draw(SDL_Surface* dst, bool labels);

protected:
    // Sets `name` from a pattern such as "pusher_%d" and `number` to n.
    void set_name(const char* pattern, int n);
    // The red name label above a scriptable device, only while building.
    void draw_label(SDL_Surface* dst, int px, int py, bool labels) const;
};

#endif
