#ifndef GEARLOFT_KINDS_CONVERTER_H
#define GEARLOFT_KINDS_CONVERTER_H

#include "devices/device.h"

// A 4 x 4 machine with an open lane through its third row: every block of
// `from_type` in its conversion cell, (x + 2, y + 2), becomes `to_type`.
// Converters come with the level; they have no Lua name.
class DeviceConverter : public Device {
public:
    static const DeviceKind KIND;

    unsigned char from_type;
    unsigned char to_type;

    DeviceConverter(int x, int y, Mobility mobility, unsigned char from_type, unsigned char to_type);

    void draw_at(Canvas& canvas, int px, int py, Phase phase) const override;
    void tick(Level* level) override;
    bool floor_collide(int cx, int cy) const override;
    std::vector<FloorCell> footprint() const override;
    std::unique_ptr<Device> copy() const override;
    std::vector<int> record_fields() const override;

    FloorCell conversion_cell() const;
};

#endif
