// Save files: writing the player's work and reading it back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conveyer/conveyer.h"
#include "file_round_trip.h"
#include "file_test_util.h"
#include "level/level.h"
#include "files/save_file.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"

TEST(SaveFile, RoundTripKeepsDevicesAndCodeExactly) {
    GameDir dir;
    dir.write("levels/factory.lvl", "Factory\n3\n4\n"
                                    "conveyer, 2, 3, 5, 1, 4\n"
                                    "converter, 10, 10, R, G\n"
                                    "spawner, 2, 3, R, 30\n"
                                    "catcher, 20, 2, 1, 1, G\n");
    Level level("factory.lvl", 0);
    ASSERT_EQ(level.load_error, "");
    level.devices.push_back(std::make_unique<DevicePusher>(1, 3, false, 1));
    level.devices.back()->give_name(0);
    level.devices.push_back(std::make_unique<DeviceConveyer>(7, 3, false, 3, 1, 2));
    level.devices.push_back(std::make_unique<DeviceSensor>(8, 2, false, 2));
    level.devices.back()->give_name(3);
    std::vector<std::string> init = {"t = 0", "names = { 'a, b', \"c , d\" }", "", "  indented,  row  "};
    std::vector<std::string> cycle = {"t = t + 1", "if t % 2 == 0 then pusher_0.on(true) else pusher_0.on(false) end"};
    std::string failure;
    ASSERT_TRUE(level.save("saves/one.sav", program_save_text(init, cycle), &failure)) << failure;

    EXPECT_EQ(dir.read("saves/one.sav"),
              "factory.lvl\n"
              "a, 10, 10, 0, 82, 71\n"
              "e, 1, 3, 0, 1\n"
              "b, 7, 3, 0, 3, 1, 2\n"
              "f, 8, 2, 3, 2\n"
              "CODE\n"
              "4\nt = 0\nnames = { 'a, b', \"c , d\" }\n\n  indented,  row  \n"
              "2\nt = t + 1\nif t % 2 == 0 then pusher_0.on(true) else pusher_0.on(false) end\n");

    Level loaded("saves/one.sav", 1);
    ASSERT_EQ(loaded.load_error, "");
    EXPECT_EQ(loaded.load_problem, LoadProblem::none);
    EXPECT_EQ(loaded.level_name, "factory.lvl");
    // The level's own items with its belt once, then the saved records: the
    // converter comes from its record only.
    EXPECT_EQ(floor_items(loaded), "spawner 2,3 R/30; catcher 20,2 1x1 G; b, 2, 3, 0, 5, 1, 4 fixed; "
                                   "a, 10, 10, 0, 82, 71; e, 1, 3, 0, 1; b, 7, 3, 0, 3, 1, 2; f, 8, 2, 3, 2; ");
    EXPECT_EQ(code_rows(loaded.init_code.value_or("")), init);
    EXPECT_EQ(code_rows(loaded.cycle_code.value_or("")), cycle);

    // Saving the loaded level writes the same file again.
    ASSERT_TRUE(loaded.save("saves/two.sav", saved_program(loaded)));
    EXPECT_EQ(dir.read("saves/two.sav"), dir.read("saves/one.sav"));
}

TEST(SaveFile, LongProgramsSurviveWhole) {
    GameDir dir;
    dir.write("levels/plain.lvl", "Plain\n1\n0\n");
    Level level("plain.lvl", 0);
    std::vector<std::string> init;
    for (int i = 0; i < 2000; ++i)
        init.push_back("x" + std::to_string(i) + " = " + std::to_string(i) + ", " + std::to_string(i));
    std::vector<std::string> cycle = {std::string(5000, 'a') + ", b", std::string(40000, 'c')};
    ASSERT_TRUE(level.save("saves/long.sav", program_save_text(init, cycle)));
    Level loaded("saves/long.sav", 1);
    ASSERT_EQ(loaded.load_error, "");
    EXPECT_EQ(code_rows(loaded.init_code.value_or("")), init);
    EXPECT_EQ(code_rows(loaded.cycle_code.value_or("")), cycle);
}

TEST(SaveFile, NothingPlacedReplacesAnOldSaveWithNameThenCode) {
    GameDir dir;
    dir.write("levels/plain.lvl", "Plain\n1\n1\nconveyer, 0, 0, 3, 1, 1\n");
    dir.write("saves/s.sav", "something much longer than the new save will be\n");
    Level level("plain.lvl", 0);
    ASSERT_TRUE(level.save("saves/s.sav", ""));
    EXPECT_EQ(dir.read("saves/s.sav"), "plain.lvl\nCODE\n");
    struct stat info;
    ASSERT_EQ(stat("saves/s.sav", &info), 0);
    EXPECT_TRUE(info.st_mode & S_IRGRP) << "not left private like a temporary file";

    Level loaded("saves/s.sav", 1);
    EXPECT_EQ(loaded.load_error, "");
    EXPECT_EQ(floor_items(loaded), "b, 0, 0, 0, 3, 1, 1 fixed; ");
    EXPECT_EQ(loaded.init_code, std::string());
    EXPECT_EQ(loaded.cycle_code, std::string());
}

TEST(SaveFile, FailedWriteKeepsTheOldSave) {
    GameDir dir;
    dir.write("levels/plain.lvl", "Plain\n1\n0\n");
    Level level("plain.lvl", 0);
    level.devices.push_back(std::make_unique<DevicePusher>(1, 1, false, 0));

    // The target is a folder: the new file is written, but cannot replace it.
    std::filesystem::create_directories("saves/taken.sav");
    std::string failure;
    EXPECT_FALSE(level.save("saves/taken.sav", "0\n0\n", &failure));
    EXPECT_NE(failure.find("Cannot save to saves/taken.sav"), std::string::npos) << failure;
    EXPECT_TRUE(std::filesystem::is_directory("saves/taken.sav"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("saves"), {}), 1) << "no temporary file left behind";

    // An existing save whose name leaves no room for the temporary name
    // beside it: the write fails before anything touches the old file.
    std::string old = "saves/" + std::string(250, 'o') + ".sav";
    dir.write(old, "plain.lvl\nCODE\n1\nold\n0\n");
    EXPECT_FALSE(level.save(old.c_str(), "0\n0\n", &failure));
    EXPECT_NE(failure.find("Cannot save to " + old), std::string::npos) << failure;
    EXPECT_EQ(dir.read(old), "plain.lvl\nCODE\n1\nold\n0\n");
}
