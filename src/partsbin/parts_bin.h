#ifndef GEARLOFT_PARTSBIN_PARTS_BIN_H
#define GEARLOFT_PARTSBIN_PARTS_BIN_H

#include <SDL.h>

#include <memory>
#include <optional>
#include <vector>

#include "devices/device.h"

// Which conveyer setting a setting button sets.
enum class ConveyerSetting { length, direction, period };

// Frame colours of the bin's buttons; the values pick their pictures.
enum class ButtonColour { red = 1, green = 2, orange = 4, blue = 8 };

// What the bin remembers from one level to the next: the page shown and the
// next belt's settings.
struct BinChoices {
    int page = 0;
    int length = 1;
    int direction = DIR_UP;
    int period = 10;
};

// One button of the parts bin: either a device button holding the prototype
// it hands out copies of, or a setting button for the next conveyer.
class PartsBinItem {
public:
    int x;
    int y;
    int page;
    int value;
    ButtonColour colour;
    int icon;
    std::unique_ptr<Device> device;         // null for a setting button
    std::optional<ConveyerSetting> setting; // only for a setting button

    PartsBinItem(int page, int x, int y, ButtonColour colour, int icon, std::unique_ptr<Device> prototype);
    PartsBinItem(int page, int x, int y, ButtonColour colour, int icon, ConveyerSetting setting, int value);

    bool is_setting() const { return setting.has_value(); }
    // Inclusive hit area of 30 x 29 pixels, on the page shown.
    bool hit(int shown_page, int px, int py) const;
};

// The right-hand panel in construction mode: three pages of buttons handing
// out new devices, and the settings of the next conveyer.
class PartsBin {
public:
    static constexpr int PANEL_X = 650;

    int page = 0;
    int length = 1;
    int direction = DIR_UP;
    int period = 10;
    std::vector<std::unique_ptr<PartsBinItem>> items;

    PartsBin();

    void goto_page(int n);
    void draw(SDL_Surface* screen);
    // A left press at (x, y) relative to the panel: a new device owned by the
    // caller, or null.
    std::unique_ptr<Device> click(int x, int y);

    // The bin's current value of a conveyer setting.
    int setting_value(ConveyerSetting setting) const;

    BinChoices choices() const { return {page, length, direction, period}; }
    void restore(const BinChoices& choices);
    // With the pointer at (x, y) relative to the panel, over a button that
    // hands out a part or over the belt settings and drag area: that part
    // (or the next belt) as it will stand on the floor, on a plate left of
    // the panel at the pointer's height. Nothing elsewhere.
    void draw_preview(SDL_Surface* screen, int x, int y) const;
    // A copy of the part a press at (x, y) would hand out; null for none.
    // Over the belt settings, the belt the drag area hands out now.
    std::unique_ptr<Device> part_under(int x, int y) const;

private:
    void build_items();
    void draw_part_samples(SDL_Surface* screen) const;
    void apply_setting(const PartsBinItem& item);
    static bool page_exists(int n);
};

#endif
