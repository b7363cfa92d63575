#ifndef GEARLOFT_CONVEYER_CONVEYER_H
#define GEARLOFT_CONVEYER_CONVEYER_H

#include <array>

#include "devices/device.h"
#include "devices/device_kit.h"

// A straight belt that carries every block lying on it one cell in its
// direction every `period` ticks. Blocks stand on it, so it is drawn beneath
// them and is never solid. It has no Lua name.
class DeviceConveyer : public Device {
public:
    static constexpr int FRAME_COUNT = 5;

    int length;
    int direction;
    int period;
    // Belt picture to draw, 0..4.
    int frame = 0;
    std::array<Picture, FRAME_COUNT> frames;

    DeviceConveyer(int x, int y, bool fixed, int length, int direction, int period);

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

    // Belt cell number i, counted from the anchor (the top or left end).
    FloorCell cell(int i) const;

private:
    bool runs_across() const;
    void carry_blocks(Level* level);
};

#endif
