#include "file_test_util.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "devices/device.h"
#include "level/level.h"

GameDir::GameDir() : inside_(dir_.enter()) {
    std::filesystem::create_directories("levels");
    std::filesystem::create_directories("saves");
}

void GameDir::write(const std::string& path, const std::string& text) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string GameDir::read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string floor_items(Level& level) {
    std::string text;
    for (const auto& s : level.spawners)
        text += "spawner " + std::to_string(s->x) + "," + std::to_string(s->y) + " " + char(s->type) + "/" +
                std::to_string(s->period) + "; ";
    for (const auto& c : level.catchers)
        text += "catcher " + std::to_string(c->x) + "," + std::to_string(c->y) + " " + std::to_string(c->width) + "x" +
                std::to_string(c->height) + " " + c->pattern + "; ";
    for (const auto& d : level.devices)
        text += d->get_save_stub(&level) + (d->fixed ? " fixed; " : "; ");
    return text;
}
