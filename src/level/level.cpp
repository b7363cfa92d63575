#include "level/level.h"

#include <cstdio>

#include "devices/device.h"

const BlockType BLOCK_TYPES[19] = {
    {'R', "img/block_red.gif"},
    {'G', "img/block_green.gif"},
    {'U', "img/block_blue.gif"},
    {'u', "img/block_bulb.gif"},
    {'d', "img/block_dew_empty.gif"},
    {'D', "img/block_dew_full.gif"},
    {'i', "img/block_ipod.gif"},
    {'M', "img/block_metal.gif"},
    {'s', "img/block_speaker.gif"},
    {'W', "img/block_white.gif"},
    {'w', "img/block_wii.gif"},
    {'T', "img/block_tan.gif"},
    {'B', "img/block_black.gif"},
    {'t', "img/block_tire.gif"},
    {'g', "img/block_gatorade.gif"},
    {'Y', "img/block_yellow.gif"},
    {'X', "img/block_xbox.gif"},
    {'C', "img/block_xbox_controller.gif"},
    {'S', "img/block_death_star.gif"},
};

const char* block_picture_file(unsigned char type) {
    for (const BlockType& bt : BLOCK_TYPES)
        if (bt.type == type)
            return bt.picture;
    return nullptr;
}

Level::Level() {
    pushing_.reserve(FLOOR_W * FLOOR_H);
    clear_blocks();
    ticks = 0;
}

Level::~Level() = default;

void Level::tick() {
    ticks += 1;
    for (auto& set : moved)
        set.clear();
    for (auto& catcher : catchers)
        catcher->tick(this);
    for (auto& spawner : spawners)
        spawner->tick(this);
    // Index loop: a device's tick never adds or removes devices, but keep the
    // walk valid even if one did.
    for (size_t i = 0; i < devices.size(); ++i)
        devices[i]->tick(this);
}

void Level::clear_blocks() {
    for (int x = 0; x < GRID_W; ++x) {
        for (int y = 0; y < GRID_H; ++y) {
            blocks[x][y] = EMPTY_BLOCK;
            groups[x][y] = 0;
            sticky[x][y] = 0;
            held[x][y] = 0;
        }
    }
    next_group = 1;
}

void Level::reset() {
    clear_blocks();
    for (auto& device : devices)
        device->reset();
    for (auto& catcher : catchers)
        catcher->remaining = 5;
    ticks = 0;
}

void Level::add_block(int x, int y, unsigned char type) {
    // The extra column and row must stay empty, and nothing lies beyond them.
    if (!on_floor(x, y))
        return;
    blocks[x][y] = type;
    groups[x][y] = next_group;
    sticky[x][y] = 0;
    next_group += 1;
}

bool Level::win() const {
    for (const auto& catcher : catchers)
        if (catcher->remaining != 0)
            return false;
    return true;
}

bool Level::device_in_devices(const Device* d) const {
    for (const auto& device : devices)
        if (device.get() == d)
            return true;
    return false;
}

void Level::set_sticky(int x, int y, unsigned char mark) {
    if (on_floor(x, y))
        sticky[x][y] = mark;
}

void Level::set_held(int x, int y, unsigned char mark) {
    if (on_floor(x, y))
        held[x][y] = mark;
}

void Level::debug() const {
    std::printf("blocks[][]\n");
    for (int y = 0; y < GRID_H; ++y) {
        for (int x = 0; x < GRID_W; ++x)
            std::printf("%2x ", blocks[x][y] == EMPTY_BLOCK ? 0u : static_cast<unsigned>(blocks[x][y]));
        std::printf("\n");
    }
    std::printf("\ngroups[][]\n");
    for (int y = 0; y < GRID_H; ++y) {
        for (int x = 0; x < GRID_W; ++x)
            std::printf("%2x ", static_cast<unsigned>(groups[x][y]));
        std::printf("\n");
    }
    std::printf("\nsticky[][]\n");
    for (int y = 0; y < GRID_H; ++y) {
        for (int x = 0; x < GRID_W; ++x)
            std::printf("%2x ", static_cast<unsigned>(sticky[x][y]));
        std::printf("\n");
    }
}
