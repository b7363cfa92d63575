#ifndef GEARLOFT_KINDS_CONVEYER_H
#define GEARLOFT_KINDS_CONVEYER_H

#include "devices/device.h"

// A straight belt that carries every block lying on it one cell in its
// direction every `period` ticks. Blocks stand on it, so it is drawn beneath
// them and is never solid. It has no Lua name.
class DeviceConveyer : public Device {
public:
    static const DeviceKind KIND;
    static constexpr int FRAME_COUNT = 5;

    int length;
    int direction;
    int period;
    // Belt picture to draw, 0..4.
    int frame = 0;

    DeviceConveyer(int x, int y, Mobility mobility, int length, int direction, int period);

    void draw_at(Canvas& canvas, int px, int py, Phase phase) const override;
    void tick(Level* level) override;
    bool block_collide(int cx, int cy) const override;
    bool floor_collide(int cx, int cy) const override;
    std::vector<FloorCell> footprint() const override;
    std::unique_ptr<Device> copy() const override;
    void reset() override;
    bool is_low() const override;
    std::vector<int> record_fields() const override;

    // Belt cell number i, counted from the anchor (the top or left end).
    FloorCell cell(int i) const;

private:
    bool runs_across() const;
    void carry_blocks(Level* level);
};

#endif
