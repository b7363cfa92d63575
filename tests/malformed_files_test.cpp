// A corpus of broken level and save files (tests/data/malformed). A file's
// name says what it must give: "ok-" a level that saves and reloads the same,
// "error-" a load error, "corrupt-" (saves only) the invalid-record message.
// None may crash or hang.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "file_round_trip.h"
#include "file_test_util.h"
#include "level/device_record.h"
#include "level/level.h"

namespace fs = std::filesystem;

namespace {

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

void expect_outcome(Level& level, const std::string& name) {
    if (starts_with(name, "ok-")) {
        EXPECT_EQ(level.load_error, "") << name;
        if (level.load_problem == LoadProblem::none) {
            EXPECT_EQ(round_trip_problem(level, "first.out", "second.out"), "") << name;
        }
    } else if (starts_with(name, "error-")) {
        EXPECT_NE(level.load_error, "") << name;
        EXPECT_TRUE(level.load_problem == LoadProblem::unreadable ||
                    level.load_problem == LoadProblem::bad_level_file)
            << name;
    } else {
        ASSERT_TRUE(starts_with(name, "corrupt-")) << "corpus file without an expected outcome: " << name;
        EXPECT_EQ(level.load_problem, LoadProblem::invalid_record) << name;
        EXPECT_EQ(level.load_error, INVALID_RECORD_MESSAGE) << name;
    }
}

} // namespace

TEST(MalformedFiles, EachLoadsAsItsNameSays) {
    GameDir dir;
    int levels = 0;
    int saves = 0;
    for (const auto& entry : fs::directory_iterator(GEARLOFT_TEST_DATA_DIR "/malformed")) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".lvl")
            fs::copy_file(entry.path(), "levels/" + name);
        else
            fs::copy_file(entry.path(), "saves/" + name);
    }
    for (const auto& entry : fs::directory_iterator("levels")) {
        std::string name = entry.path().filename().string();
        Level level(name.c_str(), 0);
        expect_outcome(level, name);
        ++levels;
    }
    for (const auto& entry : fs::directory_iterator("saves")) {
        std::string name = entry.path().filename().string();
        Level level(("saves/" + name).c_str(), 1);
        expect_outcome(level, name);
        ++saves;
    }
    EXPECT_GE(levels, 15);
    EXPECT_GE(saves, 20);
}
