#include "view/floor_overlays.h"

#include <algorithm>
#include <map>
#include <string>

#include "kinds/indicator.h"
#include "level/level.h"

namespace {
constexpr Colour INK{16, 16, 24};
constexpr Colour GLUE{128, 128, 255};
constexpr Colour GROUP_RIM{255, 214, 64};
constexpr Colour LAMP_GLOW{255, 250, 205};
constexpr Colour LABEL_TEXT{255, 232, 140};
constexpr Colour COUNT_TEXT{255, 255, 255};
// Neighbouring catchers tell apart by their borders' colours.
constexpr Colour CATCHER_RIMS[] = {{80, 200, 255}, {255, 150, 60}, {150, 240, 100}, {250, 110, 210}};

constexpr int LABEL_SIZE = 10;
constexpr int LABEL_PAD = 3;
constexpr int LABEL_H = 13;
constexpr int COUNT_SIZE = 14;
constexpr int FLOOR_PX_W = FLOOR_W * CELL_PX;
constexpr int FLOOR_PX_H = FLOOR_H * CELL_PX;

// A frame `thickness` pixels wide just inside `area`.
void frame(Canvas& canvas, const PixelRect& area, int thickness, Colour colour) {
    canvas.fill({area.x, area.y, area.w, thickness}, colour);
    canvas.fill({area.x, area.y + area.h - thickness, area.w, thickness}, colour);
    canvas.fill({area.x, area.y, thickness, area.h}, colour);
    canvas.fill({area.x + area.w - thickness, area.y, thickness, area.h}, colour);
}

PixelRect inset(const PixelRect& area, int by) { return {area.x + by, area.y + by, area.w - 2 * by, area.h - 2 * by}; }

// A bright frame between two dark lines, readable on light and dark floors.
void rim(Canvas& canvas, const PixelRect& area, int thickness, Colour colour) {
    frame(canvas, area, 1, INK);
    frame(canvas, inset(area, 1), thickness, colour);
    frame(canvas, inset(area, 1 + thickness), 1, INK);
}

bool same_group(const Level& level, int group, int x, int y) {
    return Level::on_floor(x, y) && level.has_block(x, y) && level.group_at(x, y) == group;
}

// Every group's outer edge gets a dark line, and a glued group's a gold one
// inside it, so two groups side by side show a seam; glued edges inside a
// group get a staple across them.
void draw_groups(Canvas& canvas, const Level& level) {
    std::map<int, int> sizes;
    for (int x = 0; x < FLOOR_W; ++x)
        for (int y = 0; y < FLOOR_H; ++y)
            if (level.has_block(x, y))
                ++sizes[level.groups[x][y]];
    for (int x = 0; x < FLOOR_W; ++x) {
        for (int y = 0; y < FLOOR_H; ++y) {
            if (!level.has_block(x, y))
                continue;
            int group = level.groups[x][y];
            bool glued = sizes[group] > 1;
            int px = CELL_PX * x, py = CELL_PX * y;
            const struct {
                int dx, dy;
                PixelRect edge, inner;
            } sides[] = {{0, -1, {px, py, CELL_PX, 1}, {px, py + 1, CELL_PX, 2}},
                         {0, 1, {px, py + CELL_PX - 1, CELL_PX, 1}, {px, py + CELL_PX - 3, CELL_PX, 2}},
                         {-1, 0, {px, py, 1, CELL_PX}, {px + 1, py, 2, CELL_PX}},
                         {1, 0, {px + CELL_PX - 1, py, 1, CELL_PX}, {px + CELL_PX - 3, py, 2, CELL_PX}}};
            for (const auto& side : sides) {
                if (same_group(level, group, x + side.dx, y + side.dy))
                    continue;
                if (glued)
                    canvas.fill(side.inner, GROUP_RIM);
                canvas.fill(side.edge, INK);
            }
            // Staples from the left or upper cell of each glued edge.
            if (same_group(level, group, x + 1, y)) {
                canvas.fill({px + CELL_PX - 4, py + 8, 8, 9}, INK);
                canvas.fill({px + CELL_PX - 3, py + 9, 6, 7}, GROUP_RIM);
            }
            if (same_group(level, group, x, y + 1)) {
                canvas.fill({px + 8, py + CELL_PX - 4, 9, 8}, INK);
                canvas.fill({px + 9, py + CELL_PX - 3, 7, 6}, GROUP_RIM);
            }
        }
    }
}

bool lamp_lit(const Device& device, Phase phase) {
    auto lamp = dynamic_cast<const DeviceIndicator*>(&device);
    return lamp != nullptr && lamp->lit && phase == Phase::running;
}

void draw_lamp_glows(Canvas& canvas, const Level& level, Phase phase, const Device* dragged) {
    for (const auto& device : level.devices)
        if (device.get() != dragged && lamp_lit(*device, phase))
            rim(canvas, {CELL_PX * device->x - 4, CELL_PX * device->y - 4, CELL_PX + 8, CELL_PX + 8}, 2, LAMP_GLOW);
}

// Corner brackets round a wanted cell, telling the wanted shape from blocks
// that really lie there.
void brackets(Canvas& canvas, int px, int py, Colour colour) {
    constexpr int ARM = 7;
    for (int cx : {px + 1, px + CELL_PX - 3})
        for (int cy : {py + 1, py + CELL_PX - 3}) {
            int hx = cx == px + 1 ? cx : px + CELL_PX - 1 - ARM;
            int vy = cy == py + 1 ? cy : py + CELL_PX - 1 - ARM;
            canvas.fill({hx, cy, ARM, 2}, colour);
            canvas.fill({cx, vy, 2, ARM}, colour);
        }
}

bool under_a_part(const Level& level, int x, int y) {
    return std::any_of(level.devices.begin(), level.devices.end(),
                       [&](const auto& device) { return device->floor_collide(x, y); });
}

// The wanted shape shows again over the parts standing on it; a cell left
// free already shows it faded, and a real block on it stays itself.
void draw_catcher_overlay(Canvas& canvas, const Level& level, const Catcher& catcher, Colour colour) {
    int px = catcher.x * CELL_PX, py = catcher.y * CELL_PX;
    rim(canvas, {px, py, CELL_PX * (catcher.width + 2), CELL_PX * (catcher.height + 2)}, 2, colour);
    for (int cx = 0; cx < catcher.width; ++cx) {
        for (int cy = 0; cy < catcher.height; ++cy) {
            size_t at = static_cast<size_t>(cy) * catcher.width + cx;
            if (at >= catcher.pattern.size())
                continue;
            const char* file = block_picture_file(static_cast<unsigned char>(catcher.pattern[at]));
            if (file == nullptr)
                continue;
            int x = catcher.x + cx + 1, y = catcher.y + cy + 1;
            int wx = CELL_PX * x, wy = CELL_PX * y;
            if (under_a_part(level, x, y))
                canvas.draw_faded_picture({file}, wx, wy, 150);
            brackets(canvas, wx, wy, colour);
        }
    }
    std::string count = std::to_string(catcher.remaining);
    int w = canvas.text_width(count, COUNT_SIZE) + 2 * LABEL_PAD + 2;
    PixelRect badge{px + 4, py + 4, w, 19};
    canvas.fill(badge, INK);
    frame(canvas, badge, 1, colour);
    canvas.draw_text(count, COUNT_SIZE, COUNT_TEXT, badge.x + LABEL_PAD + 1, badge.y + 1);
}

bool overlaps(const PixelRect& a, const PixelRect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

bool on_floor_px(const PixelRect& r) {
    return r.x >= 0 && r.y >= 0 && r.x + r.w <= FLOOR_PX_W && r.y + r.h <= FLOOR_PX_H;
}

// The pixels a device covers on the floor.
PixelRect bounds(const Device& device) {
    PixelRect own = device.footprint_bounds();
    return {CELL_PX * device.x + own.x, CELL_PX * device.y + own.y, own.w, own.h};
}

// Where a name `w` pixels wide may go, best first: above the part, below
// it, beside it, inside its top or bottom row, and a row further out.
std::vector<PixelRect> places_round(const PixelRect& part, int w) {
    int h = LABEL_H;
    int right = part.x + part.w, bottom = part.y + part.h, centre = part.x + (part.w - w) / 2;
    return {{part.x, part.y - h - 1, w, h}, {right - w, part.y - h - 1, w, h}, {part.x, bottom + 1, w, h},
            {right - w, bottom + 1, w, h},  {right + 1, part.y + 6, w, h},     {part.x - w - 1, part.y + 6, w, h},
            {part.x, part.y, w, h},         {part.x, bottom - h, w, h},        {centre, part.y - 2 * h - 2, w, h},
            {centre, bottom + h + 2, w, h}};
}

std::string label_text(const Device& device, Phase phase) {
    return std::string(device.name) + (lamp_lit(device, phase) ? " ON" : "");
}
} // namespace

void draw_glue_ring(Canvas& canvas, int cell_x, int cell_y) {
    rim(canvas, {CELL_PX * cell_x + 4, CELL_PX * cell_y + 4, 17, 17}, 2, GLUE);
}

std::vector<NameLabel> place_name_labels(Canvas& canvas, const Level& level, Phase phase, const Device* dragged,
                                         std::optional<FloorCell> pointer) {
    std::vector<const Device*> named;
    for (const auto& device : level.devices)
        if (device.get() != dragged && device->name[0] != '\0')
            named.push_back(device.get());
    // The part under the pointer first: its name always finds a place.
    if (pointer) {
        auto pointed = std::find_if(named.rbegin(), named.rend(),
                                    [&](const Device* d) { return d->floor_collide(pointer->x, pointer->y); });
        if (pointed != named.rend())
            std::rotate(named.begin(), pointed.base() - 1, pointed.base());
    }
    std::vector<PixelRect> parts;
    for (const auto& device : level.devices)
        if (device.get() != dragged)
            parts.push_back(bounds(*device));
    std::vector<NameLabel> labels;
    auto clear = [&](const PixelRect& place, bool of_parts) {
        if (!on_floor_px(place))
            return false;
        for (const NameLabel& label : labels)
            if (overlaps(place, label.plate))
                return false;
        for (size_t i = 0; of_parts && i < parts.size(); ++i)
            if (overlaps(place, parts[i]))
                return false;
        return true;
    };
    for (size_t i = 0; i < named.size(); ++i) {
        std::string text = label_text(*named[i], phase);
        int width = canvas.text_width(text, LABEL_SIZE) + 2 * LABEL_PAD;
        std::vector<PixelRect> places = places_round(bounds(*named[i]), width);
        auto found = std::find_if(places.begin(), places.end(), [&](const PixelRect& p) { return clear(p, true); });
        if (found == places.end())
            found = std::find_if(places.begin(), places.end(), [&](const PixelRect& p) { return clear(p, false); });
        if (found != places.end())
            labels.push_back({named[i], text, *found});
    }
    return labels;
}

void draw_inspection_marks(Canvas& canvas, const Level& level, Phase phase, const Device* dragged,
                           const Inspection& inspection) {
    draw_groups(canvas, level);
    draw_lamp_glows(canvas, level, phase, dragged);
    size_t index = 0;
    for (const auto& catcher : level.catchers)
        draw_catcher_overlay(canvas, level, *catcher, CATCHER_RIMS[index++ % std::size(CATCHER_RIMS)]);
    for (const NameLabel& label : place_name_labels(canvas, level, phase, dragged, inspection.pointer)) {
        canvas.fill(label.plate, INK);
        canvas.draw_text(label.text, LABEL_SIZE, LABEL_TEXT, label.plate.x + LABEL_PAD, label.plate.y);
    }
}
