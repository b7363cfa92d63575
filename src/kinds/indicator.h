#ifndef GEARLOFT_KINDS_INDICATOR_H
#define GEARLOFT_KINDS_INDICATOR_H

#include "devices/device.h"

// A coloured lamp the program switches on and off, for the player's eyes.
// While the player builds, every lamp shows dim.
class DeviceIndicator : public Device {
public:
    static const DeviceKind KIND;

    int red;
    int green;
    int blue;
    bool lit = false;

    DeviceIndicator(int x, int y, Mobility mobility, int red, int green, int blue);

    void draw_at(Canvas& canvas, int px, int py, Phase phase) const override;
    void code_action(const char* verb, int arg, Level* level) override;
    std::unique_ptr<Device> copy() const override;
    std::string get_code_stub(const Level& level) const override;
    void reset() override;
    std::vector<int> record_fields() const override;
};

#endif
