// The layers of docs/development.md: a module includes its own headers and
// those of lower layers only, and every module has its layer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>

namespace fs = std::filesystem;

namespace {
// Module name to layer, from the numbered list under "## Layers".
std::map<std::string, int> documented_layers() {
    std::ifstream docs(GEARLOFT_SOURCE_DIR "/docs/development.md");
    std::map<std::string, int> layers;
    const std::regex item(R"(^(\d+)\. (.*?):)"), module("`(\\w+)`");
    bool in_section = false;
    for (std::string line; std::getline(docs, line);) {
        if (line.rfind("## ", 0) == 0)
            in_section = line == "## Layers";
        std::smatch match;
        if (!in_section || !std::regex_search(line, match, item))
            continue;
        std::string names = match[2];
        for (std::sregex_iterator it(names.begin(), names.end(), module), end; it != end; ++it)
            layers[(*it)[1]] = std::stoi(match[1]);
    }
    return layers;
}
} // namespace

TEST(Layers, NoModuleIncludesOneBesideOrAboveIt) {
    std::map<std::string, int> layers = documented_layers();
    ASSERT_GE(layers.size(), 10u) << "no layer list in docs/development.md";
    const std::regex include(R"(^#include "(\w+)/)");
    int files = 0;
    for (const auto& folder : fs::directory_iterator(GEARLOFT_SOURCE_DIR "/src")) {
        std::string module = folder.path().filename().string();
        ASSERT_TRUE(layers.count(module)) << "src/" << module << " has no layer in docs/development.md";
        for (const auto& file : fs::directory_iterator(folder.path())) {
            std::ifstream in(file.path());
            ++files;
            for (std::string line; std::getline(in, line);) {
                std::smatch match;
                if (!std::regex_search(line, match, include) || match[1] == module)
                    continue;
                std::string used = match[1];
                ASSERT_TRUE(layers.count(used)) << file.path() << ": " << line;
                EXPECT_LT(layers[used], layers[module]) << file.path() << " (layer " << layers[module]
                                                        << ") includes " << used << " (layer " << layers[used] << ")";
            }
        }
    }
    EXPECT_GT(files, 50);
}
