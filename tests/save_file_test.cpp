// Save files: writing the player's work and reading it back.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "file_test_util.h"
#include "level/level.h"
#include "level/save_file.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"

namespace {

const char* const FACTORY_LEVEL = "Factory\n3\n4\n"
                                  "conveyer, 2, 3, 5, 1, 4\n"
                                  "converter, 10, 10, R, G\n"
                                  "spawner, 2, 3, R, 30\n"
                                  "catcher, 20, 2, 1, 1, G\n";

void place_named(Level& level, std::unique_ptr<Device> device, int number) {
    device->give_name(number);
    level.devices.push_back(std::move(device));
}

// Kinds of the level's devices in list order, marking fixed ones.
std::string device_kinds(const Level& level) {
    std::string kinds;
    for (const auto& device : level.devices) {
        if (dynamic_cast<DeviceConveyer*>(device.get()))
            kinds += device->fixed ? "B" : "b";
        else if (dynamic_cast<DeviceConverter*>(device.get()))
            kinds += "a";
        else
            kinds += device->name;
        kinds += ' ';
    }
    return kinds;
}

} // namespace

TEST(SaveFile, RoundTripKeepsDevicesAndCodeExactly) {
    GameDir dir;
    dir.write("levels/factory.lvl", FACTORY_LEVEL);
    Level level("factory.lvl", 0);
    ASSERT_EQ(level.load_error, "");
    place_named(level, std::make_unique<DevicePusher>(1, 3, false, 1), 0);
    level.devices.push_back(std::make_unique<DeviceConveyer>(7, 3, false, 3, 1, 2));
    place_named(level, std::make_unique<DeviceSensor>(8, 2, false, 2), 3);
    std::vector<std::string> init = {"t = 0", "names = { 'a, b', \"c , d\" }", "", "  indented,  row  "};
    std::vector<std::string> cycle = {"t = t + 1", "if t % 2 == 0 then pusher_0.on(true) else pusher_0.on(false) end"};
    std::string failure;
    ASSERT_TRUE(level.save("saves/one.sav", program_save_text(init, cycle), &failure)) << failure;

    EXPECT_EQ(dir.read("saves/one.sav"), "factory.lvl\n"
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
    // The level's own belt once, then the saved records: the converter comes
    // from its record only.
    EXPECT_EQ(device_kinds(loaded), "B a pusher_0 b sensor_3 ");
    EXPECT_EQ(loaded.spawners.size(), 1u);
    EXPECT_EQ(loaded.catchers.size(), 1u);
    ASSERT_TRUE(loaded.init_code.has_value());
    ASSERT_TRUE(loaded.cycle_code.has_value());
    EXPECT_EQ(*loaded.init_code, "t = 0\nnames = { 'a, b', \"c , d\" }\n\n  indented,  row  \n");
    EXPECT_EQ(code_rows(*loaded.init_code), init);
    EXPECT_EQ(code_rows(*loaded.cycle_code), cycle);

    // Saving the loaded level writes the same file again, and again.
    std::string code = program_save_text(code_rows(*loaded.init_code), code_rows(*loaded.cycle_code));
    ASSERT_TRUE(loaded.save("saves/two.sav", code));
    EXPECT_EQ(dir.read("saves/two.sav"), dir.read("saves/one.sav"));
    Level again("saves/two.sav", 1);
    EXPECT_EQ(device_kinds(again), "B a pusher_0 b sensor_3 ");
}

TEST(SaveFile, NothingPlacedGivesNameThenCode) {
    GameDir dir;
    dir.write("levels/plain.lvl", "Plain\n1\n1\nconveyer, 0, 0, 3, 1, 1\n");
    Level level("plain.lvl", 0);
    ASSERT_TRUE(level.save("saves/empty.sav", ""));
    EXPECT_EQ(dir.read("saves/empty.sav"), "plain.lvl\nCODE\n");
    Level loaded("saves/empty.sav", 1);
    EXPECT_EQ(loaded.load_error, "");
    EXPECT_EQ(device_kinds(loaded), "B ");
    EXPECT_EQ(loaded.init_code, std::string());
    EXPECT_EQ(loaded.cycle_code, std::string());
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
    EXPECT_EQ(code_rows(*loaded.init_code), init);
    EXPECT_EQ(code_rows(*loaded.cycle_code), cycle);
}

TEST(SaveFile, WindowsLineEndsLoadTheSame) {
    GameDir dir;
    dir.write("levels/factory.lvl", FACTORY_LEVEL);
    dir.write("saves/crlf.sav", "factory.lvl\r\na, 10, 10, 0, 82, 71\r\ne, 1, 3, 0, 1\r\nCODE\r\n1\r\nt = 0\r\n1\r\nt = t\r\n");
    Level loaded("saves/crlf.sav", 1);
    ASSERT_EQ(loaded.load_error, "");
    EXPECT_EQ(device_kinds(loaded), "B a pusher_0 ");
    EXPECT_EQ(*loaded.init_code, "t = 0\n");
    EXPECT_EQ(*loaded.cycle_code, "t = t\n");
}

TEST(SaveFile, ShortCodePartsStopAtTheEnd) {
    GameDir dir;
    dir.write("levels/plain.lvl", "Plain\n1\n0\n");
    dir.write("saves/a.sav", "plain.lvl\nCODE\n");
    dir.write("saves/b.sav", "plain.lvl\nCODE\n1000000000\nonly row");
    dir.write("saves/c.sav", "plain.lvl\nCODE\n2\na\n\n");
    Level a("saves/a.sav", 1);
    EXPECT_EQ(a.load_error, "");
    EXPECT_EQ(*a.init_code, "");
    Level b("saves/b.sav", 1);
    EXPECT_EQ(b.load_error, "");
    EXPECT_EQ(*b.init_code, "only row\n");
    EXPECT_EQ(*b.cycle_code, "");
    Level c("saves/c.sav", 1);
    EXPECT_EQ(*c.init_code, "a\n\n") << "an empty last row is a row";
}

TEST(SaveFile, InvalidRecordsAreReportedNotFatal) {
    GameDir dir;
    dir.write("levels/plain.lvl", "Plain\n1\n0\n");
    const char* bad_saves[] = {
        "plain.lvl\ne, 1, 1, 0, 1\nX, 1, 2\nCODE\n",   // unknown letter
        "plain.lvl\ne, 1, 1, 0\nCODE\n",               // a field missing
        "plain.lvl\n\nCODE\n",                         // an empty line
        "plain.lvl\ne, 1, 1, 0, 1\n",                  // no CODE line at all
        "plain.lvl\ncode\n",                           // CODE spelt otherwise
    };
    for (const char* text : bad_saves) {
        dir.write("saves/bad.sav", text);
        Level level("saves/bad.sav", 1);
        EXPECT_EQ(level.load_problem, LoadProblem::invalid_record) << text;
        EXPECT_EQ(level.load_error, "Error loading saved game: Invalid device type!") << text;
    }
}

TEST(SaveFile, MissingFilesAreLoadErrors) {
    GameDir dir;
    Level no_save("saves/none.sav", 1);
    EXPECT_EQ(no_save.load_error, "Cannot open save file: saves/none.sav");
    EXPECT_EQ(no_save.load_problem, LoadProblem::unreadable);

    dir.write("saves/orphan.sav", "gone.lvl\nCODE\n");
    Level orphan("saves/orphan.sav", 1);
    EXPECT_EQ(orphan.load_error, "Cannot open level file: levels/gone.lvl");
    EXPECT_EQ(orphan.load_problem, LoadProblem::unreadable);

    dir.write("saves/blank.sav", "\nCODE\n");
    Level blank("saves/blank.sav", 1);
    EXPECT_EQ(blank.load_error, "Cannot open level file: levels/") << "the levels folder itself is no level";
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

    // A folder that does not exist.
    EXPECT_FALSE(level.save("no-folder/x.sav", "0\n0\n", &failure));
    EXPECT_NE(failure.find("Cannot save to no-folder/x.sav"), std::string::npos) << failure;

    // An existing save whose name leaves no room for the temporary name
    // beside it: the write fails before anything touches the old file.
    std::string old = "saves/" + std::string(250, 'o') + ".sav";
    dir.write(old, "plain.lvl\nCODE\n1\nold\n0\n");
    EXPECT_FALSE(level.save(old.c_str(), "0\n0\n", &failure));
    EXPECT_NE(failure.find("Cannot save to " + old), std::string::npos) << failure;
    EXPECT_EQ(dir.read(old), "plain.lvl\nCODE\n1\nold\n0\n");
}

TEST(SaveFile, SaveReplacesAnExistingFileWithUsualPermissions) {
    GameDir dir;
    dir.write("levels/plain.lvl", "Plain\n1\n0\n");
    dir.write("saves/s.sav", "something much longer than the new save will be\n");
    Level level("plain.lvl", 0);
    ASSERT_TRUE(level.save("saves/s.sav", "0\n0\n"));
    EXPECT_EQ(dir.read("saves/s.sav"), "plain.lvl\nCODE\n0\n0\n");
    struct stat info;
    ASSERT_EQ(stat("saves/s.sav", &info), 0);
    EXPECT_TRUE(info.st_mode & S_IRGRP) << "not left private like a temporary file";
}
