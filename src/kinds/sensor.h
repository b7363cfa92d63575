#ifndef GEARLOFT_KINDS_SENSOR_H
#define GEARLOFT_KINDS_SENSOR_H

#include "devices/device.h"

// Tells the program whether a block stands in its front cell. The reading is
// written into its Lua table when the program text is assembled, so the
// program sees the floor as the previous tick left it.
class DeviceSensor : public Device {
public:
    static const DeviceKind KIND;

    int direction;

    DeviceSensor(int x, int y, Mobility mobility, int direction);

    void draw_at(Canvas& canvas, int px, int py, Phase phase) const override;
    std::unique_ptr<Device> copy() const override;
    std::string get_code_stub(const Level& level) const override;
    std::vector<int> record_fields() const override;
};

#endif
