#ifndef GEARLOFT_KINDS_PUSHER_H
#define GEARLOFT_KINDS_PUSHER_H

#include "devices/device.h"

// A one-cell ram. Switched on by the program it shoves what stands in its
// front cell one cell on and keeps its rod out there, blocking that cell;
// switched off it pulls the rod back on the next tick.
class DevicePusher : public Device {
public:
    static const DeviceKind KIND;

    int direction;
    bool extended = false;
    // The state last commanded by the program.
    bool on = false;

    DevicePusher(int x, int y, Mobility mobility, int direction);

    void draw_at(Canvas& canvas, int px, int py, Phase phase) const override;
    void tick(Level* level) override;
    void code_action(const char* verb, int arg, Level* level) override;
    bool block_collide(int cx, int cy) const override;
    std::unique_ptr<Device> copy() const override;
    std::string get_code_stub(const Level& level) const override;
    void reset() override;
    std::vector<int> record_fields() const override;
};

#endif
