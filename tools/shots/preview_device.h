// A stand-in machine for the review pictures: it draws a list of pictures the
// way the game's machines place them, and does nothing else.
#ifndef GEARLOFT_SHOTS_PREVIEW_DEVICE_H
#define GEARLOFT_SHOTS_PREVIEW_DEVICE_H

#include <string>
#include <utility>
#include <vector>

#include "devices/device.h"

struct PreviewLayer {
    SDL_Surface* picture;
    int angle; // counter-clockwise, a multiple of 90
    int dx;    // offset from the anchor pixel
    int dy;
    int alpha = 255;
};

class PreviewDevice : public Device {
public:
    std::vector<PreviewLayer> layers;
    std::vector<std::pair<int, int>> cells; // covered cells, relative to the anchor
    bool low = false;
    std::string name_pattern; // e.g. "pusher_%d"; empty for machines without a name
    // A colour painted under the first 25 x 25 cell (a lamp), when set.
    bool has_fill = false;
    Uint8 fill_r = 0, fill_g = 0, fill_b = 0;
    // Numbers written centred on the machine (the grabber's range marks).
    std::vector<std::pair<int, std::pair<int, int>>> numbers;

    PreviewDevice(int x, int y) : Device(x, y, false) {}

    void draw_at(SDL_Surface* dst, int px, int py, bool labels) override;
    void tick(Level*) override {}
    void code_action(const char*, int, Level*) override {}
    bool block_collide(int cx, int cy) override { return floor_collide(cx, cy); }
    bool floor_collide(int cx, int cy) override;
    std::unique_ptr<Device> copy() override { return std::make_unique<PreviewDevice>(x, y); }
    void give_name(int n) override {
        if (!name_pattern.empty())
            set_name(name_pattern.c_str(), n);
    }
    std::string get_code_stub(Level*) override { return ""; }
    void reset() override {}
    bool is_low() override { return low; }
    std::string get_save_stub(Level*) override { return ""; }
};

#endif
