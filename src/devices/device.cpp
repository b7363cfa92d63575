#include "devices/device.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "canvas/canvas.h"
#include "devices/device_kit.h"

namespace {
// The record format filled with the numbers, in order.
std::string format_record(const char* record, const std::vector<int>& fields) {
    int v[RECORD_FIELDS_MAX] = {};
    for (std::size_t i = 0; i < fields.size() && i < RECORD_FIELDS_MAX; ++i)
        v[i] = fields[i];
    // Numbers beyond the format's own are never printed.
    return format_text(SAVE_RECORD_SIZE, record, v[0], v[1], v[2], v[3], v[4], v[5]);
}
} // namespace

const DeviceKind Device::NO_KIND{'\0', "", "", ""};

Device::Device(int x, int y, Mobility mobility, const DeviceKind& kind)
    : x(x), y(y), name{}, fixed(mobility == Mobility::fixed), kind(kind) {}

void Device::tick(Level*) {}

void Device::code_action(const char*, int, Level*) {}

void Device::apply_switch(const char* verb, bool& state) {
    if (std::strcmp(verb, "on") == 0)
        state = true;
    else if (std::strcmp(verb, "off") == 0)
        state = false;
}

bool Device::block_collide(int cx, int cy) const { return floor_collide(cx, cy); }

bool Device::floor_collide(int cx, int cy) const { return cx == x && cy == y; }

std::vector<FloorCell> Device::footprint() const { return {{0, 0}}; }

PixelRect Device::footprint_bounds() const {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (FloorCell cell : footprint()) {
        x0 = std::min(x0, cell.x);
        y0 = std::min(y0, cell.y);
        x1 = std::max(x1, cell.x);
        y1 = std::max(y1, cell.y);
    }
    return {CELL_PX * x0, CELL_PX * y0, CELL_PX * (x1 - x0 + 1), CELL_PX * (y1 - y0 + 1)};
}

void Device::give_name(int n) {
    if (!kind.takes_name())
        return;
    std::snprintf(name, sizeof name, "%s_%d", kind.word, n);
    number = n;
}

std::string Device::get_code_stub(const Level&) const { return ""; }

void Device::reset() {}

bool Device::is_low() const { return false; }

std::string Device::get_save_stub() const { return format_record(kind.record, record_fields()); }

void Device::draw(Canvas& canvas, Phase phase) const { draw_at(canvas, x * CELL_PX, y * CELL_PX, phase); }

void Device::draw_label(Canvas& canvas, int px, int py, Phase phase) const {
    if (phase == Phase::building)
        canvas.draw_text(name, 10, {255, 0, 0}, px, py - 16);
}
