#ifndef GEARLOFT_SENSOR_SENSOR_H
#define GEARLOFT_SENSOR_SENSOR_H

#include "devices/device.h"
#include "devices/device_kit.h"

// Tells the program whether a block stands in its front cell. The reading is
// written into its Lua table when the program text is assembled, so the
// program sees the floor as the previous tick left it.
class DeviceSensor : public Device {
public:
    // Never turned.
    Picture body;
    // Drawn faded over the front cell.
    Picture beam;
    int direction;

    DeviceSensor(int x, int y, bool fixed, int direction);

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
