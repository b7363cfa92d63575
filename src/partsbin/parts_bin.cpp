#include "partsbin/parts_bin.h"

#include <algorithm>

#include "kinds/conveyer.h"
#include "kinds/grabber.h"
#include "kinds/indicator.h"
#include "kinds/pusher.h"
#include "kinds/sensor.h"
#include "kinds/sprayer.h"
#include "toolkit/pictures.h"
#include "toolkit/sdl_canvas.h"
#include "toolkit/toolkit.h"

namespace {
// Keys of the button pictures: frames are 0x10 + colour when lit and
// 0x20 + colour when not.
constexpr int LIT_FRAME = 0x10;
constexpr int UNLIT_FRAME = 0x20;
constexpr int DRAG_PICTURE = 3;
constexpr int ICON_NONE = 0;
constexpr int ICON_LEFT = 0x100;
constexpr int ICON_RIGHT = 0x200;
constexpr int ICON_UP = 0x400;
constexpr int ICON_DOWN = 0x800;
constexpr int ICON_ONE = 0x1000;
constexpr int ICON_TWO = 0x2000;
constexpr int ICON_FOUR = 0x4000;
constexpr int ICON_EIGHT = 0x8000;
constexpr int ICON_ONEX = 0x40;
constexpr int ICON_TWOX = 0x80;

constexpr int HIT_WIDTH = 30;
constexpr int HIT_HEIGHT = 29;

struct ButtonPicture {
    int key;
    const char* path;
    Magenta magenta;
};

const ButtonPicture PAGE_FILES[] = {
    {0, "img/parts_conveyers.gif", Magenta::opaque},
    {1, "img/parts_sensorsprayer.gif", Magenta::opaque},
    {2, "img/parts_pusherindicator.gif", Magenta::opaque},
};

const ButtonPicture BUTTON_FILES[] = {
    {0x21, "img/button_off_red.gif", Magenta::opaque},
    {0x11, "img/button_on_red.gif", Magenta::opaque},
    {0x22, "img/button_off_green.gif", Magenta::opaque},
    {0x12, "img/button_on_green.gif", Magenta::opaque},
    {0x28, "img/button_off_blue.gif", Magenta::opaque},
    {0x18, "img/button_on_blue.gif", Magenta::opaque},
    {0x24, "img/button_off_orange.gif", Magenta::opaque},
    {0x14, "img/button_on_orange.gif", Magenta::opaque},
    {DRAG_PICTURE, "img/button_drag.gif", Magenta::opaque},
    {ICON_LEFT, "img/arrow_left.gif", Magenta::see_through},
    {ICON_RIGHT, "img/arrow_right.gif", Magenta::see_through},
    {ICON_UP, "img/arrow_up.gif", Magenta::see_through},
    {ICON_DOWN, "img/arrow_down.gif", Magenta::see_through},
    {ICON_ONE, "img/button_one.gif", Magenta::see_through},
    {ICON_TWO, "img/button_two.gif", Magenta::see_through},
    {ICON_FOUR, "img/button_four.gif", Magenta::see_through},
    {ICON_EIGHT, "img/button_eight.gif", Magenta::see_through},
    {ICON_ONEX, "img/button_onex.gif", Magenta::see_through},
    {ICON_TWOX, "img/button_twox.gif", Magenta::see_through},
};

bool within(int v, int low, int high) { return v >= low && v <= high; }

bool in_drag_area(int x, int y) { return within(x, 38, 109) && within(y, 431, 469); }

// Page 0 above the page arrows: the belt's settings and its drag area.
bool in_belt_choices(int x, int y) { return within(y, 60, 480) && within(x, 0, 149); }


// The picture of a key in one of the tables above, from the picture cache.
template <std::size_t N> SDL_Surface* picture(const ButtonPicture (&files)[N], int key) {
    for (const ButtonPicture& file : files)
        if (file.key == key)
            return cached_picture(file.path, file.magenta);
    return nullptr;
}
} // namespace

PartsBinItem::PartsBinItem(int page, int x, int y, ButtonColour colour, int icon, std::unique_ptr<Device> prototype)
    : x(x), y(y), page(page), value(0), colour(colour), icon(icon), device(std::move(prototype)) {}

PartsBinItem::PartsBinItem(int page, int x, int y, ButtonColour colour, int icon, ConveyerSetting setting, int value)
    : x(x), y(y), page(page), value(value), colour(colour), icon(icon), setting(setting) {}

bool PartsBinItem::hit(int shown_page, int px, int py) const {
    return page == shown_page && within(px, x, x + HIT_WIDTH - 1) && within(py, y, y + HIT_HEIGHT - 1);
}

PartsBin::PartsBin() { build_items(); }

bool PartsBin::page_exists(int n) {
    for (const ButtonPicture& file : PAGE_FILES)
        if (file.key == n)
            return true;
    return false;
}

void PartsBin::build_items() {
    auto setting = [this](int pg, int x, int y, ButtonColour colour, int icon, ConveyerSetting which, int value) {
        items.push_back(std::make_unique<PartsBinItem>(pg, x, y, colour, icon, which, value));
    };
    auto device = [this](int pg, int x, int y, ButtonColour colour, int icon, std::unique_ptr<Device> prototype) {
        items.push_back(std::make_unique<PartsBinItem>(pg, x, y, colour, icon, std::move(prototype)));
    };
    // Page 0: the next conveyer's direction, speed and length.
    setting(0, 59, 72, ButtonColour::blue, ICON_UP, ConveyerSetting::direction, DIR_UP);
    setting(0, 24, 104, ButtonColour::red, ICON_LEFT, ConveyerSetting::direction, DIR_LEFT);
    setting(0, 59, 104, ButtonColour::green, ICON_DOWN, ConveyerSetting::direction, DIR_DOWN);
    setting(0, 95, 104, ButtonColour::orange, ICON_RIGHT, ConveyerSetting::direction, DIR_RIGHT);
    setting(0, 30, 200, ButtonColour::red, ICON_ONEX, ConveyerSetting::period, 10);
    setting(0, 92, 200, ButtonColour::orange, ICON_TWOX, ConveyerSetting::period, 5);
    setting(0, 30, 300, ButtonColour::blue, ICON_ONE, ConveyerSetting::length, 1);
    setting(0, 92, 300, ButtonColour::orange, ICON_TWO, ConveyerSetting::length, 2);
    setting(0, 30, 342, ButtonColour::red, ICON_FOUR, ConveyerSetting::length, 4);
    setting(0, 92, 342, ButtonColour::green, ICON_EIGHT, ConveyerSetting::length, 8);
    // Page 1: sensors and sprayers facing each way.
    const struct {
        int x, y;
        ButtonColour colour;
        int icon, direction;
    } facing[] = {{59, 0, ButtonColour::blue, ICON_UP, DIR_UP},
                  {24, 32, ButtonColour::red, ICON_LEFT, DIR_LEFT},
                  {59, 32, ButtonColour::green, ICON_DOWN, DIR_DOWN},
                  {95, 32, ButtonColour::orange, ICON_RIGHT, DIR_RIGHT}};
    for (const auto& f : facing)
        device(1, f.x, 52 + f.y, f.colour, f.icon,
               std::make_unique<DeviceSensor>(0, 0, Mobility::movable, f.direction));
    for (const auto& f : facing)
        device(1, f.x, 176 + f.y, f.colour, f.icon,
               std::make_unique<DeviceSprayer>(0, 0, Mobility::movable, f.direction));
    // Page 2: pushers, lamps and grabbers.
    for (const auto& f : facing)
        device(2, f.x, 52 + f.y, f.colour, f.icon,
               std::make_unique<DevicePusher>(0, 0, Mobility::movable, f.direction));
    device(2, 30, 167, ButtonColour::blue, ICON_NONE,
           std::make_unique<DeviceIndicator>(0, 0, Mobility::movable, 0, 0, 255));
    device(2, 92, 167, ButtonColour::orange, ICON_NONE,
           std::make_unique<DeviceIndicator>(0, 0, Mobility::movable, 255, 128, 0));
    device(2, 30, 210, ButtonColour::red, ICON_NONE,
           std::make_unique<DeviceIndicator>(0, 0, Mobility::movable, 255, 0, 0));
    device(2, 92, 210, ButtonColour::green, ICON_NONE,
           std::make_unique<DeviceIndicator>(0, 0, Mobility::movable, 0, 255, 0));
    device(2, 30, 288, ButtonColour::red, ICON_LEFT,
           std::make_unique<DeviceGrabber>(0, 0, Mobility::movable, 18, ClawSide::left));
    device(2, 92, 288, ButtonColour::blue, ICON_RIGHT,
           std::make_unique<DeviceGrabber>(0, 0, Mobility::movable, 18, ClawSide::right));
}

int PartsBin::setting_value(ConveyerSetting setting) const {
    switch (setting) {
    case ConveyerSetting::length: return length;
    case ConveyerSetting::direction: return direction;
    case ConveyerSetting::period: return period;
    }
    return 0;
}

void PartsBin::apply_setting(const PartsBinItem& item) {
    switch (*item.setting) {
    case ConveyerSetting::length: length = item.value; break;
    case ConveyerSetting::direction: direction = item.value; break;
    case ConveyerSetting::period: period = item.value; break;
    }
}

void PartsBin::restore(const BinChoices& choices) {
    goto_page(choices.page);
    length = choices.length;
    direction = choices.direction;
    period = choices.period;
}

void PartsBin::goto_page(int n) {
    if (page_exists(n))
        page = n;
}

std::unique_ptr<Device> PartsBin::click(int x, int y) {
    for (const auto& item : items) {
        if (!item->hit(page, x, y))
            continue;
        if (!item->is_setting())
            return item->device->copy();
        apply_setting(*item);
    }
    if (within(x, 21, 69) && within(y, 516, 529))
        goto_page(page - 1);
    if (within(x, 86, 134) && within(y, 516, 529))
        goto_page(page + 1);
    if (page == 0 && in_drag_area(x, y))
        return std::make_unique<DeviceConveyer>(0, 0, Mobility::movable, length, direction, period);
    return nullptr;
}

std::unique_ptr<Device> PartsBin::part_under(int x, int y) const {
    for (const auto& item : items)
        if (item->hit(page, x, y) && !item->is_setting())
            return item->device->copy();
    if (page != 0 || !in_belt_choices(x, y))
        return nullptr;
    return std::make_unique<DeviceConveyer>(0, 0, Mobility::movable, length, direction, period);
}

void PartsBin::draw_preview(SDL_Surface* screen, int x, int y) const {
    std::unique_ptr<Device> part = part_under(x, y);
    if (part == nullptr)
        return;
    // Room round the part for what it draws in front of it (a sensor's target).
    constexpr int MARGIN = CELL_PX + 4;
    PixelRect size = part->footprint_bounds();
    int plate_w = size.w + 2 * MARGIN, plate_h = size.h + 2 * MARGIN;
    int plate_x = PANEL_X - 4 - plate_w;
    int plate_y = std::clamp(y - plate_h / 2, 2, std::max(2, 548 - plate_h));
    SdlCanvas canvas(screen);
    canvas.fill({plate_x, plate_y, plate_w, plate_h}, {240, 226, 180});
    canvas.fill({plate_x + 2, plate_y + 2, plate_w - 4, plate_h - 4}, {24, 22, 28});
    part->draw_at(canvas, plate_x + MARGIN - size.x, plate_y + MARGIN - size.y, Phase::running);
}

void PartsBin::draw(SDL_Surface* screen) {
    draw_image(picture(PAGE_FILES, page), PANEL_X, 0, screen);
    if (page == 0)
        draw_image(picture(BUTTON_FILES, DRAG_PICTURE), 687, 430, screen);
    for (const auto& item : items) {
        if (item->page != page)
            continue;
        bool lit = page == 0 && item->is_setting() && item->value == setting_value(*item->setting);
        int frame = (lit ? LIT_FRAME : UNLIT_FRAME) + static_cast<int>(item->colour);
        draw_image(picture(BUTTON_FILES, frame), PANEL_X + item->x, item->y, screen);
        if (item->icon != ICON_NONE)
            draw_image(picture(BUTTON_FILES, item->icon), PANEL_X + 8 + item->x, item->y + 8, screen);
    }
    draw_part_samples(screen);
}

// Beside each cross of direction buttons, in its free top-left corner, the
// part those buttons hand out, as its left button gives it: what a sensor
// reads or a pusher pushes then lies outside the cross. The crosses list
// their buttons up, left, down, right.
void PartsBin::draw_part_samples(SDL_Surface* screen) const {
    SdlCanvas canvas(screen);
    for (size_t i = 0; i + 1 < items.size(); ++i) {
        const PartsBinItem& up = *items[i];
        const PartsBinItem& left = *items[i + 1];
        if (up.page == page && !up.is_setting() && up.icon == ICON_UP && left.icon == ICON_LEFT)
            left.device->draw_at(canvas, PANEL_X + up.x - 31, up.y + 3, Phase::running);
    }
}
