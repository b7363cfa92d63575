#ifndef GEARLOFT_KINDS_SPRAYER_H
#define GEARLOFT_KINDS_SPRAYER_H

#include "devices/device.h"

// A glue nozzle. On the program's "spray" it marks the block in its front
// cell sticky; the next push anywhere on the floor glues that block to the
// blocks it touches.
class DeviceSprayer : public Device {
public:
    static const DeviceKind KIND;
    static constexpr int SPRAY_TICKS = 5;

    // Ticks the spray cloud is still shown; 0 when idle.
    int spray_time = 0;
    int direction;

    DeviceSprayer(int x, int y, Mobility mobility, int direction);

    void draw_at(Canvas& canvas, int px, int py, Phase phase) const override;
    void tick(Level* level) override;
    void code_action(const char* verb, int arg, Level* level) override;
    std::unique_ptr<Device> copy() const override;
    std::string get_code_stub(const Level& level) const override;
    void reset() override;
    std::vector<int> record_fields() const override;
};

#endif
