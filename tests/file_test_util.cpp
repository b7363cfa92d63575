#include "file_test_util.h"

#include <filesystem>
#include <fstream>
#include <sstream>

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
