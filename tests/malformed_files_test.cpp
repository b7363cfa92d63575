// A corpus of broken level and save files (tests/data/malformed). A file's
// name says what it must give: "ok-" a level that saves and reloads the same,
// "error-" a load error, "corrupt-" (saves only) the invalid-record message.
// None may crash or hang.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "file_round_trip.h"
#include "file_test_util.h"
#include "files/device_record.h"
#include "level/level.h"

namespace fs = std::filesystem;

TEST(MalformedFiles, EachLoadsAsItsNameSays) {
    GameDir dir;
    for (const auto& entry : fs::directory_iterator(GEARLOFT_TEST_DATA_DIR "/malformed"))
        fs::copy_file(entry.path(),
                      (entry.path().extension() == ".lvl" ? "levels/" : "saves/") + entry.path().filename().string());
    int files[2] = {0, 0};
    for (int mode : {0, 1}) {
        for (const auto& entry : fs::directory_iterator(mode == 0 ? "levels" : "saves")) {
            std::string name = entry.path().filename().string();
            Level level(mode == 0 ? name.c_str() : ("saves/" + name).c_str(), mode);
            ++files[mode];
            if (name.rfind("ok-", 0) == 0) {
                EXPECT_EQ(level.load_error, "") << name;
                EXPECT_EQ(round_trip_problem(level, "first.out", "second.out"), "") << name;
            } else if (name.rfind("error-", 0) == 0) {
                EXPECT_NE(level.load_error, "") << name;
                EXPECT_TRUE(level.load_problem == LoadProblem::unreadable ||
                            level.load_problem == LoadProblem::bad_level_file)
                    << name;
            } else {
                ASSERT_EQ(name.rfind("corrupt-", 0), 0u) << "corpus file without an expected outcome: " << name;
                EXPECT_EQ(level.load_problem, LoadProblem::invalid_record) << name;
                EXPECT_EQ(level.load_error, INVALID_RECORD_MESSAGE) << name;
            }
        }
    }
    EXPECT_GE(files[0], 15);
    EXPECT_GE(files[1], 20);
}
