// The files wing on texts: tokens and lines, level files, device records,
// saves written and read back; then the files themselves: atomic saving,
// the game's loader and the corpus of broken files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "files/describe.h"
#include "files/device_record.h"
#include "files/save_file.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "pusher/pusher.h"
#include "round_trip.h"
#include "sensor/sensor.h"
#include "sprayer/sprayer.h"
#include "support.h"

namespace fs = std::filesystem;

namespace {
// Every part of a level as gearloft-sim describes it, then its spawners and
// catchers.
std::string floor_items(const Level& level) {
    std::string text;
    for (const auto& device : level.devices)
        text += describe_part(*device) + "\n";
    for (const auto& s : level.spawners)
        text += "spawner " + std::to_string(s->x) + "," + std::to_string(s->y) + " " + char(s->type) + "/" +
                std::to_string(s->period) + "\n";
    for (const auto& c : level.catchers)
        text += "catcher " + std::to_string(c->x) + "," + std::to_string(c->y) + " " + std::to_string(c->width) + "x" +
                std::to_string(c->height) + " " + c->pattern + "\n";
    return text;
}

std::vector<std::string> tokens_of(const std::string& text) {
    BetterReader reader = BetterReader::of_text(text);
    std::vector<std::string> tokens;
    while (!reader.at_end())
        tokens.push_back(reader.get_string());
    return tokens;
}
} // namespace

TEST(BetterReader, TokensNumbersAndLines) {
    EXPECT_EQ(tokens_of("spawner, 3\nR\n con\tvey er ,\t 1 2 ,R R\na,,b\r\n\nc"),
              (std::vector<std::string>{"spawner", "3", "R", "conveyer", "12", "RR", "a", "", "b", "", "c"}));
    BetterReader numbers = BetterReader::of_text("-12abc,+7,x9,,99999999999,-99999999999, - 4\nlast");
    for (int expected : {-12, 7, 0, 0, INT_MAX, INT_MIN, -4})
        EXPECT_EQ(numbers.get_int(), expected);
    EXPECT_EQ(numbers.get_string(), "last") << "the end of the text ends a token";
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(numbers.at_end());
        EXPECT_EQ(numbers.get_int(), 0);
        EXPECT_EQ(numbers.get_line(), "");
    }
    BetterReader lines = BetterReader::of_text("Sort the  red, blocks\r\n\nmid\rdle\r\ntwo\r\r\nin\r\rside\nlast\r");
    EXPECT_EQ(lines.get_line(), "Sort the  red, blocks");
    EXPECT_EQ(lines.get_line(), "");
    EXPECT_EQ(lines.get_line(), "mid\rdle") << "a CR inside a line is kept";
    EXPECT_EQ(lines.get_line(), "two");
    EXPECT_EQ(lines.get_whole_line(), "in\r\rside");
    EXPECT_EQ(lines.get_line(), "last");
    EXPECT_TRUE(lines.at_end());
}

TEST(BetterReader, OverLongLinesAndTokensAreCutAndTheRestSkipped) {
    std::string long_text(5000, 'a');
    BetterReader reader = BetterReader::of_text(long_text + "\nnext\n" + long_text + ",7\n" + long_text + "\n");
    EXPECT_EQ(reader.get_line(), std::string(BetterReader::TEXT_MAX, 'a'));
    EXPECT_EQ(reader.get_line(), "next");
    EXPECT_EQ(reader.get_string(), std::string(BetterReader::TEXT_MAX, 'a'));
    EXPECT_EQ(reader.get_int(), 7);
    EXPECT_EQ(reader.get_whole_line(), long_text) << "program rows are kept whole";
    BetterReader folder(".");
    EXPECT_FALSE(folder.is_open()) << "only plain files are read";
    EXPECT_TRUE(folder.at_end());
}

TEST(LevelFile, ItemsKeywordsAndCounts) {
    const std::pair<const char*, const char*> cases[] = {
        // A type token gives its first character; belts are fixed, converters the player's.
        {"Sort\n1\n6\nspawner, 3, 10, R, 20\ncatcher, 20, 9, 2, 1, RR\nconveyer, 3, 10, 15, 1, 10\n"
         "converter, 8, 2, Red, G\nspawner\t,4,11,\tGx,  5\nconveyer, 1, 1, 4, 2, 3\n",
         "part b x=3 y=10 length=15 direction=1 period=10 fixed\npart a x=8 y=2 from=82 to=71\n"
         "part b x=1 y=1 length=4 direction=2 period=3 fixed\n"
         "spawner 3,10 R/20\nspawner 4,11 G/5\ncatcher 20,9 2x1 RR\n"},
        // "spa wner" reads as spawner; "Spawner" is unknown (case matters), so
        // only its x and y are taken and "spawner" after them starts the next item.
        {"d\n1\n4\nlamp, 1, 2\nSpawner, 5, 5, spawner, 6, 7, G, 2\nspa wner, 8, 9, B, 4\n",
         "spawner 6,7 G/2\nspawner 8,9 B/4\n"},
        {"Nothing\n1\n0\nspawner, 1, 1, R, 1\n", ""},
        {"More promised\n1\n2000000000\nspawner, 1, 1, R, 1\ncatcher, 5, 5, 1, 1, R", "spawner 1,1 R/1\ncatcher 5,5 1x1 R\n"},
        // What the floor cannot show but the game handles stays accepted.
        {"d\n1\n3\nspawner, -5, 40, R, -1\nconveyer, 20, 3, 30, 1, 0\nlamp, 99999999, 1\n",
         "part b x=20 y=3 length=30 direction=1 period=0 fixed\nspawner -5,40 R/-1\n"},
    };
    for (const auto& [text, expected] : cases) {
        LoadResult loaded = level_from_text(text);
        ASSERT_TRUE(loaded.level) << loaded.message;
        EXPECT_EQ(floor_items(*loaded.level), expected) << text;
        EXPECT_FALSE(loaded.level->init_code.has_value());
    }
}

TEST(LevelFile, NumbersBeyondAnyFloorAndMissingOrLongNamesAreLoadErrors) {
    // Such a belt would loop two billion times every step.
    LoadResult big = level_from_text("d\n1\n2\nspawner, 1, 1, R, 5\nconveyer, 3, 3, 2000000000, 1, 1\n");
    EXPECT_EQ(big.problem, LoadProblem::bad_level_file);
    EXPECT_EQ(big.message, "Level file levels/test.lvl: item 2 (conveyer) has a number out of range");
    EXPECT_EQ(big.level, nullptr);
    LoadResult missing = read_level_file("absent.lvl", opener_of({}));
    EXPECT_EQ(missing.problem, LoadProblem::unreadable);
    EXPECT_EQ(missing.message, "Cannot open level file: levels/absent.lvl");
    std::string name(121, 'n');
    EXPECT_EQ(read_level_file(name, opener_of({{name, "d\n1\n0\n"}})).message, "Level file name too long: " + name);
    EXPECT_TRUE(read_level_file(name.substr(1), opener_of({{name.substr(1), "d\n1\n0\n"}})).level);
    EXPECT_EQ(read_level_file(std::string("a\0b", 3), opener_of({})).message, "Invalid level file name");
}

TEST(DeviceRecord, EveryKindWritesItsRecordAndReadsBackEqual) {
    std::vector<std::pair<std::unique_ptr<Device>, const char*>> kinds;
    kinds.emplace_back(std::make_unique<DeviceConverter>(3, 4, false, 'R', 'G'), "a, 3, 4, 0, 82, 71");
    kinds.emplace_back(std::make_unique<DeviceConveyer>(0, 21, false, 7, 3, 12), "b, 0, 21, 0, 7, 3, 12");
    kinds.emplace_back(std::make_unique<DeviceGrabber>(10, 2, false, 6, true), "c, 10, 2, 2, 6, 1");
    kinds.emplace_back(std::make_unique<DeviceGrabber>(11, 2, false, 3, false), "c, 11, 2, 3, 3, 0");
    kinds.emplace_back(std::make_unique<DeviceIndicator>(5, 5, false, 255, 128, 0), "d, 5, 5, 4, 255, 128, 0");
    kinds.emplace_back(std::make_unique<DevicePusher>(12, 7, false, 3), "e, 12, 7, 5, 3");
    kinds.emplace_back(std::make_unique<DeviceSensor>(25, 0, false, 2), "f, 25, 0, 6, 2");
    kinds.emplace_back(std::make_unique<DeviceSprayer>(1, 20, false, 0), "g, 1, 20, 7, 0");
    int number = 0;
    for (auto& [original, record] : kinds) {
        original->give_name(number++); // belts and converters take no name
        EXPECT_EQ(original->get_save_stub(nullptr), record);
        std::unique_ptr<Device> loaded = device_from_stub(record);
        ASSERT_NE(loaded, nullptr) << record;
        EXPECT_EQ(describe_part(*loaded), describe_part(*original)) << "same kind, fields and name";
        EXPECT_EQ(loaded->kind, original->kind);
        EXPECT_FALSE(loaded->fixed);
    }
    // Only 1 puts a grabber's claw on the left; blanks after commas may be any run of white space.
    EXPECT_EQ(describe_part(*device_from_stub("c,  1,\t1,\n 0, 4, 2")), "part c x=1 y=1 number=0 length=4 left=0 name=grabber_0");
    EXPECT_EQ(describe_part(*device_from_stub("a, 1, 2, 0, 338, -1")), "part a x=1 y=2 from=82 to=255");
}

TEST(DeviceRecord, LinesThatAreNoRecordAreRefused) {
    const char* refused[] = {
        "",                        // nothing
        "E, 12, 7, 1, 3",          // upper-case letter
        "h, 1, 2, 3, 4",           // letter past g
        " e, 12, 7, 1, 3",         // blank before the letter
        "e, 12, 7, 1",             // a field missing
        "e, 12 7, 1, 3",           // a comma missing ends the scan early
        "e, 12, seven, 1, 3",      // a field that is no number
        "a, 1, 2, 1, 82, 71",      // no literal 0 where it belongs
        "b, 1, 2, 0, 5, 1",        // a belt without its period
        "d, 1, 1, 0, 10, 20",      // a lamp without blue
        "c, 1, 1, 0, 99999, 1",    // a track far longer than any floor
        "b, 1, 1, 0, 2, 1, -20000",// a period far beyond any run
        "e, -2000000000, 1, 0, 1", // an anchor far off any floor
    };
    for (const char* line : refused)
        EXPECT_EQ(device_from_stub(line), nullptr) << '"' << line << '"';
}

TEST(SaveFile, RoundTripKeepsDevicesAndCodeExactly) {
    const LevelTexts levels = {{"factory.lvl", "Factory\n3\n4\nconveyer, 2, 3, 5, 1, 4\nconverter, 10, 10, R, G\n"
                                               "spawner, 2, 3, R, 30\ncatcher, 20, 2, 1, 1, G\n"}};
    LoadResult loaded = read_level_file("factory.lvl", opener_of(levels));
    Level& level = *loaded.level;
    place<DevicePusher>(level, 1, 3, false, 1)->give_name(0);
    place<DeviceConveyer>(level, 7, 3, false, 3, 1, 2);
    place<DeviceSensor>(level, 8, 2, false, 2)->give_name(3);
    std::vector<std::string> init = {"t = 0", "names = { 'a, b', \"c , d\" }", "", "  indented,  row  "};
    std::vector<std::string> cycle = {"t = t + 1", std::string(40000, 'c')};
    const std::string saved = save_text(level, program_save_text(init, cycle));
    EXPECT_EQ(saved, "factory.lvl\na, 10, 10, 0, 82, 71\ne, 1, 3, 0, 1\nb, 7, 3, 0, 3, 1, 2\nf, 8, 2, 3, 2\nCODE\n"
                     "4\nt = 0\nnames = { 'a, b', \"c , d\" }\n\n  indented,  row  \n2\nt = t + 1\n" +
                         std::string(40000, 'c') + "\n");
    LoadResult back = save_from_text(saved, levels);
    ASSERT_TRUE(back.level) << back.message;
    // The level's own items with its belt once, then the saved records: the
    // converter comes from its record only.
    EXPECT_EQ(describe_level(*back.level).rfind("level factory.lvl\npart b x=2 y=3 length=5 direction=1 period=4 fixed\npart a x=10 y=10 from=82 to=71\n"
              "part e x=1 y=3 number=0 direction=1 name=pusher_0\npart b x=7 y=3 length=3 direction=1 period=2\n", 0),
              0u);
    EXPECT_EQ(code_rows(back.level->init_code.value_or("")), init);
    EXPECT_EQ(code_rows(back.level->cycle_code.value_or("")), cycle);
    EXPECT_EQ(round_trip_problem(*back.level, opener_of(levels)), "");
    EXPECT_EQ(save_text(*read_level_file("factory.lvl", opener_of(levels)).level, ""), "factory.lvl\na, 10, 10, 0, 82, 71\nCODE\n");
}

TEST(SaveFile, RecordsEndAtCodeAndAnythingElseIsNoRecord) {
    const LevelTexts levels = {{"plain.lvl", "Plain\n1\n1\nconveyer, 0, 0, 3, 1, 1\n"}};
    LoadResult empty = save_from_text("plain.lvl\nCODE\n", levels);
    ASSERT_TRUE(empty.level);
    EXPECT_EQ(describe_level(*empty.level), "level plain.lvl\npart b x=0 y=0 length=3 direction=1 period=1 fixed\n"
                                            "init 0\ncycle 0\n");
    EXPECT_EQ(empty.level->init_code, std::string());
    for (const char* text : {"plain.lvl\nz, 1, 2\nCODE\n0\n0\n", "plain.lvl\ne, 1, 1, 0, 1\n", "plain.lvl\n\nCODE\n"}) {
        LoadResult corrupt = save_from_text(text, levels);
        EXPECT_EQ(corrupt.problem, LoadProblem::invalid_record) << text;
        EXPECT_EQ(corrupt.message, INVALID_RECORD_MESSAGE);
    }
    EXPECT_EQ(save_from_text("gone.lvl\nCODE\n", levels).message, "Cannot open level file: levels/gone.lvl");
}

TEST(SaveFile, WritingReplacesWholeOrKeepsTheOldSave) {
    ScratchDir dir;
    Level level;
    level.level_name = "plain.lvl";
    place<DevicePusher>(level, 1, 1, false, 0);
    std::string target = dir.path() + "/s.sav";
    dir.write("s.sav", "something much longer than the new save will be\n");
    ASSERT_TRUE(save_level(level, target.c_str(), "0\n0\n"));
    EXPECT_EQ(dir.read("s.sav"), "plain.lvl\ne, 1, 1, 0, 0\nCODE\n0\n0\n");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IRGRP) << "not left private like a temporary file";

    // The target is a folder: the new file is written, but cannot replace it.
    fs::create_directories(dir.path() + "/taken.sav");
    std::string failure;
    EXPECT_FALSE(save_level(level, (dir.path() + "/taken.sav").c_str(), "", &failure));
    EXPECT_NE(failure.find("Cannot save to " + dir.path() + "/taken.sav"), std::string::npos) << failure;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "no temporary file left behind";
    // No room for the temporary name beside an existing save: it stays as it was.
    std::string old = std::string(250, 'o') + ".sav";
    dir.write(old, "old\n");
    EXPECT_FALSE(save_level(level, (dir.path() + "/" + old).c_str(), "", &failure));
    EXPECT_EQ(dir.read(old), "old\n");
}

// The game's loader on real files: a level by name inside levels/, a save
// by path; unreadable files say which.
TEST(LoadLevel, FindsFilesFromTheWorkingFolder) {
    ScratchDir dir;
    dir.write("levels/plain.lvl", "Plain\n1\n1\nspawner, 1, 1, R, 5\n");
    dir.write("saves/good.sav", "plain.lvl\ne, 2, 2, 0, 1\nCODE\n1\nx = 1\n0\n");
    auto inside = dir.enter();
    LoadResult level = load_level("plain.lvl", 0);
    ASSERT_TRUE(level.level) << level.message;
    EXPECT_EQ(level.level->level_name, "plain.lvl");
    LoadResult save = load_level("saves/good.sav", 1);
    ASSERT_TRUE(save.level) << save.message;
    EXPECT_EQ(save.level->init_code, "x = 1\n");
    EXPECT_EQ(load_level("saves/none.sav", 1).message, "Cannot open save file: saves/none.sav");
    EXPECT_EQ(load_level("saves", 1).problem, LoadProblem::unreadable);
}

// A corpus of broken level and save files (tests/data/malformed). A file's
// name says what it must give: "ok-" a level whose save reads back the same,
// "error-" a load error, "corrupt-" (saves only) the invalid-record message.
// A save reads the level file it names from the corpus.
TEST(MalformedFiles, EachLoadsAsItsNameSays) {
    ScratchDir dir;
    fs::copy(GEARLOFT_TEST_DATA_DIR "/malformed", dir.path() + "/levels");
    auto inside = dir.enter();
    int files = 0;
    for (const auto& entry : fs::directory_iterator("levels")) {
        std::string name = entry.path().filename().string();
        bool save = entry.path().extension() == ".sav";
        LoadResult loaded = load_level((save ? "levels/" + name : name).c_str(), save ? 1 : 0);
        ++files;
        if (name.rfind("ok-", 0) == 0) {
            ASSERT_TRUE(loaded.level) << name << ": " << loaded.message;
            EXPECT_EQ(round_trip_problem(*loaded.level, open_level_file), "") << name;
        } else if (name.rfind("error-", 0) == 0) {
            EXPECT_FALSE(loaded.level) << name;
            EXPECT_NE(loaded.message, "") << name;
            EXPECT_TRUE(loaded.problem == LoadProblem::unreadable || loaded.problem == LoadProblem::bad_level_file) << name;
        } else {
            ASSERT_EQ(name.rfind("corrupt-", 0), 0u) << "corpus file without an expected outcome: " << name;
            EXPECT_EQ(loaded.problem, LoadProblem::invalid_record) << name;
            EXPECT_EQ(loaded.message, INVALID_RECORD_MESSAGE) << name;
        }
    }
    EXPECT_GE(files, 40);
}
