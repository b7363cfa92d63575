#ifndef GEARLOFT_INDICATOR_INDICATOR_H
#define GEARLOFT_INDICATOR_INDICATOR_H

#include "devices/device.h"
#include "devices/device_kit.h"

// A coloured lamp the program switches on and off, for the player's eyes.
// While the player builds, every lamp shows dim.
class DeviceIndicator : public Device {
public:
    int red;
    int green;
    int blue;
    bool lit = false;
    // The lamp's frame, magenta-keyed, drawn over the colour.
    Picture picture;

    DeviceIndicator(int x, int y, bool fixed, int red, int green, int blue);

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
};

#endif
