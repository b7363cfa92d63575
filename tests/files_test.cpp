// The files wing on texts: tokens and lines, level files, device records,
// saves; then on disk: atomic saving, the game's loader and gearloft-sim on
// the broken corpus.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "files/describe.h"
#include "files/device_record.h"
#include "files/levels_folder.h"
#include "files/save_file.h"
#include "kinds/conveyer.h"
#include "kinds/pusher.h"
#include "round_trip.h"
#include "support.h"

namespace fs = std::filesystem;

TEST(BetterReader, TokensNumbersAndLines) {
    BetterReader tokens = BetterReader::of_text("spawner, 3\n con\tvey er ,\t 1 2 ,R R\na,,b\r\n\nc");
    std::string seen;
    while (!tokens.at_end())
        seen += tokens.get_string() + "|";
    EXPECT_EQ(seen, "spawner|3|conveyer|12|RR|a||b||c|");
    BetterReader numbers = BetterReader::of_text("-12abc,+7,x9,,99999999999,-99999999999, - 4\nlast");
    for (int expected : {-12, 7, 0, 0, INT_MAX, INT_MIN, -4})
        EXPECT_EQ(numbers.get_int(), expected);
    EXPECT_EQ(numbers.get_string(), "last") << "the end of the text ends a token";
    EXPECT_TRUE(numbers.at_end());
    EXPECT_EQ(numbers.get_int(), 0);
    EXPECT_EQ(numbers.get_line(), "");
    std::string long_text(5000, 'a');
    BetterReader lines = BetterReader::of_text("Sort the  red, blocks\r\n\nmid\rdle\r\ntwo\r\r\nin\r\rside\n" +
                                               long_text + "\n" + long_text + ",7\n" + long_text + "\nlast\r");
    for (const char* line : {"Sort the  red, blocks", "", "mid\rdle", "two"})
        EXPECT_EQ(lines.get_line(), line);
    EXPECT_EQ(lines.get_whole_line(), "in\r\rside");
    EXPECT_EQ(lines.get_line(), std::string(BetterReader::TEXT_MAX, 'a')) << "over-long: cut, the rest skipped";
    EXPECT_EQ(lines.get_string(), std::string(BetterReader::TEXT_MAX, 'a'));
    EXPECT_EQ(lines.get_int(), 7);
    EXPECT_EQ(lines.get_whole_line(), long_text) << "program rows are kept whole";
    EXPECT_TRUE(lines.get_line() == "last" && !BetterReader(".").is_open()) << "only plain files are read";
    BetterReader folder(".");
    EXPECT_TRUE(folder.at_end() && folder.get_string().empty()) << "what cannot be read reads as nothing";
}

TEST(LevelFile, ItemsKeywordsCountsAndLimits) {
    const std::pair<const char*, const char*> cases[] = {
        // A type token gives its first character; belts are fixed, converters the player's.
        {"Sort\n1\n5\nspawner, 3, 10, R, 20\ncatcher, 20, 9, 2, 1, RR\nconveyer, 3, 10, 15, 1, 10\n"
         "converter, 8, 2, Red, G\nspawner\t,4,11,\tGx,  5\n",
         "part b x=3 y=10 length=15 direction=1 period=10 fixed\npart a x=8 y=2 from=82 to=71\nR3,10/20 G4,11/5 "
         "RR20,9"},
        // "spa wner" reads as spawner; "Spawner" is unknown (case matters), so
        // only its x and y are taken and "spawner" after them starts the next item.
        {"d\n1\n4\nlamp, 1, 2\nSpawner, 5, 5, spawner, 6, 7, G, 2\nspa wner, 8, 9, B, 4\n", "G6,7/2 B8,9/4 "},
        {"More promised\n1\n2000000000\nspawner, 1, 1, R, 1\ncatcher, 5, 5, 1, 1, R", "R1,1/1 R5,5"},
        // Up to the floor's edges, as the player could place them: a converter
        // hangs below the floor; nothing but its anchor and footprint counts.
        {"d\n1\n5\nspawner, 25, 21, R, -1\nconveyer, 20, 3, 6, 1, 0\nconverter, 5, 20, R, G\n"
         "catcher, 20, 19, 4, 1, RxRR\nlamp, 99999999, 1\n",
         "part b x=20 y=3 length=6 direction=1 period=0 fixed\npart a x=5 y=20 from=82 to=71\nR25,21/-1 RxRR20,19"},
        // Par items are skipped after their keyword, x and y, like any unknown one.
        {"d\n1\n4\nspawner, 1, 1, R, 5\npar, 300, 12\npar_code, 7, 0\ncatcher, 5, 5, 1, 1, R\n", "R1,1/5 R5,5"},
    };
    for (const auto& [text, expected] : cases) {
        LoadResult loaded = level_from_text(text);
        ASSERT_TRUE(loaded.level) << loaded.message;
        std::string items;
        for (const auto& device : loaded.level->devices)
            items += describe_part(*device) + "\n";
        for (const auto& s : loaded.level->spawners)
            items += char(s->type) + std::to_string(s->x) + "," + std::to_string(s->y) + "/" +
                     std::to_string(s->period) + " ";
        for (const auto& c : loaded.level->catchers)
            items += c->pattern + std::to_string(c->x) + "," + std::to_string(c->y);
        EXPECT_EQ(items, expected) << text;
    }
    // Items the floor cannot take (a belt of two billion cells would loop
    // that often every step), and too many of them.
    const std::pair<const char*, const char*> refused[] = {
        {"spawner, 1, 1, R, 5\nconveyer, 3, 3, 2000000000, 1, 1", "2 (conveyer) has a number out of range"},
        {"spawner, -1, 4, R, 5", "1 (spawner) does not fit the floor"},
        {"conveyer, 20, 3, 7, 1, 1", "1 (conveyer) does not fit the floor"},
        {"conveyer, 3, 20, 3, 2, 1", "1 (conveyer) does not fit the floor"},
        {"converter, 23, 2, R, G", "1 (converter) does not fit the floor"},
        {"catcher, 21, 19, 4, 1, RRRR", "1 (catcher) does not fit the floor"},
        {"catcher, 1, 1, 3, 3, RR", "1 (catcher) has a pattern of 2 cells, not 3 x 3"},
    };
    for (const auto& [items, message] : refused)
        EXPECT_EQ(level_from_text(std::string("d\n1\n2\n") + items + "\n").message,
                  std::string("Level file levels/test.lvl: item ") + message);
    std::string crowded = "d\n1\n300000\n";
    for (int i = 0; i < LEVEL_ITEMS_MAX; ++i)
        crowded += "spawner, 1, 1, R, 5\n";
    EXPECT_EQ(level_from_text(crowded).level->spawners.size(), 572u);
    EXPECT_EQ(level_from_text(crowded + "lamp, 1, 1").message, "Level file levels/test.lvl: more than 572 items");
}

TEST(LevelFile, OnlyPlainNamesInsideTheLevelsFolderAreOpened) {
    EXPECT_EQ(read_level_file("absent.lvl", opener_of({})).message, "Cannot open level file: levels/absent.lvl");
    std::string name(121, 'n');
    EXPECT_EQ(read_level_file(name, opener_of({{name, "d\n1\n0\n"}})).message, "Level file name too long: " + name);
    EXPECT_TRUE(read_level_file(name.substr(1), opener_of({{name.substr(1), "d\n1\n0\n"}})).level);
    // Judged before anything is opened: /proc/self/pagemap never ends.
    int opened = 0;
    LevelOpener counting = [&opened](const std::string&) { return ++opened, BetterReader::of_text("d\n1\n0\n"); };
    const std::vector<std::string> names = {"../../../../proc/self/pagemap", "/etc/hostname", "..", ".", "",
                                            "sub/a.lvl", "..\\a.lvl", std::string("a\0b", 3)};
    for (const std::string& refused : names) {
        LoadResult loaded = read_level_file(refused, counting);
        EXPECT_EQ(loaded.problem, LoadProblem::unreadable) << refused;
        EXPECT_EQ(loaded.message.rfind("Level file must be a plain file inside levels/, not \"", 0), 0u) << refused;
    }
    EXPECT_EQ(opened, 0);
    LevelTexts pars = {{"par.lvl", "d\n1\n3\npar, 300, 12\nspawner, 1, 1, R, 5\npar_code, 7, 0\n"},
                       {"half.lvl", "d\n1\n1\npar, -1, 4\n"}};
    Par par = read_level_par("par.lvl", opener_of(pars)), half = read_level_par("half.lvl", opener_of(pars));
    EXPECT_TRUE(par.steps == 300 && par.parts == 12 && par.code == 7);
    EXPECT_TRUE(!half.steps && half.parts == 4 && !half.code && !read_level_par("none.lvl", opener_of(pars)).parts);
    // The list takes difficulties 1 to 9, easiest first, by name within one.
    ScratchDir game;
    for (auto [name, difficulty] : {std::pair{"a", "9"}, {"b", "0"}, {"c", "3"}, {"d", "10"}, {"e", "1"}, {"f", "3"}})
        game.write("levels/" + std::string(name) + ".lvl", std::string("d\n") + difficulty + "\n0\n");
    auto inside = game.enter();
    EXPECT_EQ(order_by_difficulty(find_levels()), (std::vector<std::string>{"e.lvl", "c.lvl", "f.lvl", "a.lvl"}));
}

// (Each kind's record is written and read back in devices_test.)
TEST(DeviceRecord, OddFieldsAndLinesThatAreNoRecord) {
    // Only 1 puts a claw on the left; the blanks after commas may be any white space.
    EXPECT_EQ(describe_part(*device_from_stub("c,  1,\t1,\n 0, 4, 2")),
              "part c x=1 y=1 number=0 length=4 left=0 name=grabber_0");
    EXPECT_EQ(describe_part(*device_from_stub("a, 1, 2, 0, 338, -1")), "part a x=1 y=2 from=82 to=255");
    for (const char* line : {"", "E, 12, 7, 1, 3", "h, 1, 2, 3, 4", " e, 12, 7, 1, 3", "e, 12, 7, 1", "e, 12 7, 1, 3",
                             "e, 12, seven, 1, 3", "a, 1, 2, 1, 82, 71", "b, 1, 2, 0, 5, 1", "d, 1, 1, 0, 10, 20",
                             "c, 1, 1, 0, 99999, 1", "b, 1, 1, 0, 2, 1, -20000", "e, -2000000000, 1, 0, 1",
                             "e, 1, 1, -1, 1", "c, 1, 1, -2147483648, 4, 1"})
        EXPECT_EQ(device_from_stub(line), nullptr) << '"' << line << '"';
}

TEST(SaveFile, RoundTripKeepsDevicesAndCodeExactly) {
    const LevelTexts levels = {{"factory.lvl", "Factory\n3\n3\nconveyer, 2, 3, 5, 1, 4\nconverter, 10, 10, R, G\n"
                                               "catcher, 20, 2, 1, 1, G\n"}};
    LoadResult loaded = read_level_file("factory.lvl", opener_of(levels));
    EXPECT_EQ(save_text(*loaded.level, ""), "factory.lvl\na, 10, 10, 0, 82, 71\nCODE\n");
    place<DevicePusher>(*loaded.level, 1, 3, Mobility::movable, 1)->give_name(0);
    place<DeviceConveyer>(*loaded.level, 7, 3, Mobility::movable, 3, 1, 2);
    std::vector<std::string> init = {"t = 0", "names = { 'a, b', \"c , d\" }", "", "  indented,  row  ",
                                     std::string("zero = 'a\0b'", 12)};
    std::vector<std::string> cycle = {"t = t + 1", std::string(40000, 'c')};
    const std::string saved = save_text(*loaded.level, program_save_text(init, cycle));
    EXPECT_EQ(saved, "factory.lvl\na, 10, 10, 0, 82, 71\ne, 1, 3, 0, 1\nb, 7, 3, 0, 3, 1, 2\nCODE\n5\nt = 0\n"
                     "names = { 'a, b', \"c , d\" }\n\n  indented,  row  \n" + init[4] + "\n2\nt = t + 1\n" +
                     cycle[1] + "\n");
    LoadResult back = save_from_text(saved, levels);
    ASSERT_TRUE(back.level) << back.message;
    // The level's belt once, then the records: the converter only from its own.
    EXPECT_EQ(describe_level(*back.level)
                  .rfind("level factory.lvl\npart b x=2 y=3 length=5 direction=1 period=4 fixed\npart a x=10 y=10 "
                         "from=82 to=71\n"
                         "part e x=1 y=3 number=0 direction=1 name=pusher_0\npart b x=7 y=3 length=3 direction=1 "
                         "period=2\ninit 5\n",
                         0),
              0u);
    EXPECT_EQ(code_rows(back.level->init_code.value_or("")), init);
    EXPECT_EQ(code_rows(back.level->cycle_code.value_or("")), cycle);
    EXPECT_EQ(round_trip_problem(*back.level, opener_of(levels)), "");
    for (const char* text :
         {"factory.lvl\nz, 1, 2\nCODE\n0\n0\n", "factory.lvl\ne, 1, 1, 0, 1\n", "factory.lvl\n\nCODE\n"}) {
        LoadResult corrupt = save_from_text(text, levels);
        EXPECT_EQ(corrupt.problem, LoadProblem::invalid_record) << text;
        EXPECT_EQ(corrupt.message, INVALID_RECORD_MESSAGE);
    }
    EXPECT_EQ(save_from_text("gone.lvl\nCODE\n", levels).message, "Cannot open level file: levels/gone.lvl");
    // A device the game could not have placed (more records than cells: the corpus).
    EXPECT_EQ(save_from_text("factory.lvl\ne, 1, 1, 0, 1\nb, 20, 3, 0, 9, 1, 2\nCODE\n", levels).message,
              "Save file: record 2 (b, 20, 3, 0, 9, 1, 2) does not fit the floor");
}

TEST(SaveFile, WritingReplacesWholeOrKeepsTheOldSave) {
    ScratchDir dir;
    Level level;
    level.level_name = "plain.lvl";
    std::string target = dir.path() + "/s.sav";
    dir.write("s.sav", "something much longer than the new save will be\n");
    ASSERT_TRUE(save_level(level, target.c_str(), "0\n0\n"));
    EXPECT_EQ(dir.read("s.sav"), "plain.lvl\nCODE\n0\n0\n");
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IRGRP) << "not left private like a temporary file";
    // A folder in the way: the new file is written, but cannot replace it.
    fs::create_directories(dir.path() + "/taken.sav");
    std::string failure;
    EXPECT_FALSE(save_level(level, (dir.path() + "/taken.sav").c_str(), "", &failure));
    EXPECT_EQ(failure.rfind("Could not save to " + dir.path() + "/taken.sav", 0), 0u) << failure;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "no temporary file left behind";
    // No room for the temporary name beside an old save: it stays as it was.
    std::string old = std::string(250, 'o') + ".sav";
    dir.write(old, "old\n");
    EXPECT_FALSE(save_level(level, (dir.path() + "/" + old).c_str(), ""));
    EXPECT_EQ(dir.read(old), "old\n");
}

namespace {
// gearloft-sim in the scratch folder on a corpus file (a save run for two
// frames, a level file described): its exit status (-1 for a signal) and
// the seconds it took; its standard error goes to sim.err.
std::pair<int, double> sim_on(const std::string& name, bool save) {
    std::string args = save ? "'levels/" + name + "' --frames 2" : "--level '" + name + "' --describe";
    auto start = std::chrono::steady_clock::now();
    int raw = std::system((std::string("'") + GEARLOFT_SIM_PATH + "' " + args + " >/dev/null 2>sim.err").c_str());
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, took.count()};
}
} // namespace

// The game's loader and gearloft-sim on the files of tests/data/malformed,
// whose names say what they must give: "ok-" a level whose save reads back
// the same, "error-" a load error, "corrupt-" (saves only) the
// invalid-record message. Each ends quickly, with its message.
TEST(MalformedFiles, EachLoadsAsItsNameSays) {
    ScratchDir dir;
    fs::copy(GEARLOFT_TEST_DATA_DIR "/malformed", dir.path() + "/levels");
    auto inside = dir.enter();
    EXPECT_EQ(load_level("saves/none.sav", LevelSource::save_file).message, "Cannot open save file: saves/none.sav");
    int files = 0;
    for (const auto& entry : fs::directory_iterator("levels")) {
        std::string name = entry.path().filename().string();
        bool save = entry.path().extension() == ".sav";
        LoadResult loaded = load_level((save ? "levels/" + name : name).c_str(),
                                       save ? LevelSource::save_file : LevelSource::level_file);
        auto [status, seconds] = sim_on(name, save);
        std::string said = dir.read("sim.err");
        ++files;
        if (name.rfind("ok-", 0) == 0) {
            ASSERT_TRUE(loaded.level) << name << ": " << loaded.message;
            EXPECT_EQ(round_trip_problem(*loaded.level, open_level_file), "") << name;
            // The program in a save may fail; that is the program's error.
            EXPECT_TRUE(status == 0 || (save && status == 2)) << name << ": " << status << said;
        } else if (name.rfind("error-", 0) == 0) {
            EXPECT_TRUE(loaded.problem == LoadProblem::unreadable || loaded.problem == LoadProblem::bad_level_file ||
                        loaded.problem == LoadProblem::bad_save)
                << name;
            EXPECT_NE(loaded.message, "") << name;
            EXPECT_EQ(status, loaded.problem == LoadProblem::unreadable ? 66 : 1) << name;
            EXPECT_EQ(said, "gearloft-sim: " + loaded.message + "\n");
        } else {
            ASSERT_EQ(name.rfind("corrupt-", 0), 0u) << "corpus file without an expected outcome: " << name;
            EXPECT_EQ(loaded.message, INVALID_RECORD_MESSAGE) << name;
            EXPECT_EQ(status, 1) << name;
            EXPECT_EQ(said, std::string(INVALID_RECORD_TITLE) + ": " + INVALID_RECORD_MESSAGE + "\n");
        }
        EXPECT_EQ(loaded.level == nullptr, loaded.problem != LoadProblem::none) << name;
        EXPECT_LT(seconds, QUICK_SECONDS) << name;
    }
    EXPECT_GE(files, 55);
}
