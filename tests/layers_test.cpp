// The layers of docs/development.md: a module includes its own headers and
// those of lower layers only, and every module has its layer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

namespace fs = std::filesystem;

TEST(Layers, NoModuleIncludesOneBesideOrAboveIt) {
    // Module name to layer, from the numbered list under "## Layers".
    std::map<std::string, int> layers;
    std::ifstream docs(GEARLOFT_SOURCE_DIR "/docs/development.md");
    const std::regex item(R"(^(\d+)\. (.*?):)"), module("`(\\w+)`"), include(R"(^#include "(\w+)/)");
    bool in_section = false;
    for (std::string line; std::getline(docs, line);) {
        in_section = line.rfind("## ", 0) == 0 ? line == "## Layers" : in_section;
        std::smatch match;
        if (in_section && std::regex_search(line, match, item))
            for (std::string names = match[2]; std::regex_search(names, match, module); names = match.suffix())
                layers[match[1]] = std::stoi(line);
    }
    ASSERT_GE(layers.size(), 10u) << "no layer list in docs/development.md";
    // A run's film draws the floor with the toolkit and is offered by the screens.
    EXPECT_LT(layers["view"], layers["film"]);
    EXPECT_LT(layers["toolkit"], layers["film"]);
    EXPECT_LT(layers["film"], layers["screens"]);
    for (const auto& folder : fs::directory_iterator(GEARLOFT_SOURCE_DIR "/src")) {
        std::string own = folder.path().filename().string();
        ASSERT_TRUE(layers.count(own)) << "src/" << own << " has no layer in docs/development.md";
        for (const auto& file : fs::directory_iterator(folder.path())) {
            std::ifstream in(file.path());
            std::smatch match;
            for (std::string line; std::getline(in, line);) {
                if (std::regex_search(line, match, include) && match[1] != own) {
                    EXPECT_LT(layers.count(match[1]) ? layers[match[1]] : 99, layers[own])
                        << file.path() << " (layer " << layers[own] << ") includes " << match[1];
                }
            }
        }
    }
}
