#ifndef GEARLOFT_CONVERTER_CONVERTER_H
#define GEARLOFT_CONVERTER_CONVERTER_H

#include "devices/device.h"
#include "devices/device_kit.h"

// A 4 x 4 machine with an open lane through its third row: every block of
// `from_type` in its conversion cell, (x + 2, y + 2), becomes `to_type`.
// Converters come with the level; they have no Lua name.
class DeviceConverter : public Device {
public:
    unsigned char from_type;
    unsigned char to_type;
    // The level's block pictures of the two types, borrowed; null draws nothing.
    SDL_Surface* from_picture = nullptr;
    SDL_Surface* to_picture = nullptr;
    // Magenta-keyed.
    Picture body;
    // The level the block pictures were borrowed from.
    Level* level;

    DeviceConverter(int x, int y, bool fixed, unsigned char from_type, unsigned char to_type, Level* level);

    void draw_at(SDL_Surface* dst, int px, int py, bool labels) override;
    void tick(Level* level) override;
    void code_action(const char* verb, int arg, Level* level) override;
    bool block_collide(int cx, int cy) override;
    bool floor_collide(int cx, int cy) override;
    std::unique_ptr<Device> copy() override;
    void give_name(int n) override;
    std::string get_code_stub(Level* level) override;
    void reset() override;
    bool is_low() override;
    std::string get_save_stub(Level* level) override;

    FloorCell conversion_cell() const;
};

#endif
