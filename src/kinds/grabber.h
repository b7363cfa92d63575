#ifndef GEARLOFT_KINDS_GRABBER_H
#define GEARLOFT_KINDS_GRABBER_H

#include "devices/device.h"

// A vertical track with a claw running beside it, in the column left or right
// of the track. The claw goes to a row, closes on the block there and carries
// its whole group up and down; while held, nothing else can move that group.
enum class ClawSide { left, right };

class DeviceGrabber : public Device {
public:
    static const DeviceKind KIND;

    // Claw row, counted from the track's top cell: 0 .. length - 1.
    int position = 0;
    // Row the claw travels towards.
    int target = 0;
    int length;
    bool holding = false;
    bool faces_left;

    DeviceGrabber(int x, int y, Mobility mobility, int length, ClawSide side);

    void draw_at(Canvas& canvas, int px, int py, Phase phase) const override;
    void tick(Level* level) override;
    void code_action(const char* verb, int arg, Level* level) override;
    bool floor_collide(int cx, int cy) const override;
    std::vector<FloorCell> footprint() const override;
    std::unique_ptr<Device> copy() const override;
    std::string get_code_stub(const Level& level) const override;
    void reset() override;
    std::vector<int> record_fields() const override;

    // The cell the claw works on.
    FloorCell claw_cell() const;

private:
    void carry(Level* level, int dy);
    // Another holding claw works on the same cell.
    bool shares_hold(Level* level) const;
    void draw_track(Canvas& canvas, int px, int py) const;
};

#endif
