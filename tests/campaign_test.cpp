// The campaign in game/levels: every level comes with saved solutions that
// win it in the real simulation and set its par, and with saves of the
// tempting wrong approaches, none of which meets par; no level is won by
// leaving it alone, and every save is a machine a player can build from the
// parts bin.
#include <SDL_ttf.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "devices/device.h"
#include "files/metrics.h"
#include "files/save_file.h"
#include "kinds/converter.h"
#include "kinds/conveyer.h"
#include "level/level.h"
#include "level/placement.h"
#include "partsbin/parts_bin.h"
#include "round_trip.h"
#include "screens/level_list_rows.h"
#include "support.h"
#include "toolkit/toolkit.h"

namespace fs = std::filesystem;

namespace {

struct CampaignLevel {
    const char* file;
    // Frames its solution may take to win: about a tenth above the count
    // measured when it was made.
    int max_frames;
};

// clang-format off
const CampaignLevel CAMPAIGN[] = {
    {"01-first-belt.lvl", 250}, {"02-around-the-belt.lvl", 235}, {"03-swap-sides.lvl", 175},
    {"04-first-pusher.lvl", 250}, {"05-glue.lvl", 320}, {"06-converter.lvl", 240},
    {"07-lamp.lvl", 235}, {"08-two-catchers.lvl", 580}, {"09-sensor.lvl", 40},
    {"10-grabber.lvl", 240}, {"11-waiting.lvl", 365}, {"12-pairs.lvl", 600},
    {"13-paint-shop.lvl", 285}, {"14-bundles.lvl", 400}, {"15-gadgets.lvl", 455},
    {"16-sorting-grabber.lvl", 820}, {"17-corners.lvl", 555}, {"18-crossing.lvl", 300},
    {"19-square.lvl", 560}, {"20-dew-stacks.lvl", 345}, {"21-bottling-plant.lvl", 960},
    {"22-traffic-lights.lvl", 600}, {"23-merge.lvl", 710}, {"24-bars.lvl", 910},
    {"25-colours.lvl", 1520}, {"26-checkerboard.lvl", 750}, {"27-t-and-l.lvl", 940},
    {"28-two-grabbers.lvl", 480}, {"29-odd-grabber.lvl", 1070}, {"30-finale.lvl", 1900},
};
// clang-format on

// The first level of each kind of part that acts on blocks cannot be won
// without that kind: its wrong approaches include one without it (dropped,
// or replaced by the obvious other part), and none of those wins. Belts are
// needed by every level left alone, and lamps only show, so no level can
// need one.
const std::pair<char, const char*> NEEDED_BY[] = {
    {'e', "04-first-pusher.lvl"}, {'g', "05-glue.lvl"}, {'a', "06-converter.lvl"}, {'c', "10-grabber.lvl"}};

// A clock can always do a sensor's work on a floor that repeats itself, so
// the sensor's level does not forbid leaving it out; its wrong approaches
// include one without a sensor, which must miss par like any other.
constexpr std::pair<char, const char*> SENSED_BY = {'f', "09-sensor.lvl"};

// Every level keeps at least this many wrong approaches, from its makers
// and from players who tried to break it.
constexpr size_t MIN_WRONG_APPROACHES = 3;

// A level's solutions: NAME.sav, the main one (the e2e journey plays it and
// the table above times it), and beside it NAME.steps.sav, NAME.parts.sav
// and NAME.code.sav, each the best machine known on its metric where that
// is not the main one. Each par number is the best of them on its metric.
const char* const SOLUTION_SUFFIXES[] = {"", ".steps", ".parts", ".code"};

// From this difficulty on, no level is won by the solution's parts alone,
// with both code boxes emptied.
constexpr int PROGRAM_NEEDED_FROM = 4;

// Wrong approaches and solutions without their program are run in the
// normal build only (see tests/CMakeLists.txt).
#ifdef GEARLOFT_SANITIZED_BUILD
constexpr bool RUN_DATA_CHECKS = false;
#else
constexpr bool RUN_DATA_CHECKS = true;
#endif

// Test names and messages show the level's file.
void PrintTo(const CampaignLevel& level, std::ostream* out) {
    *out << level.file;
}

// A level left alone, a wrong approach, or a solution without its program
// must not win it this soon.
constexpr int IDLE_FRAMES = 20000;

// Frame counts are checked with the runner's own exit status: 0 won in
// time, 3 not won in time.
constexpr int SIM_WON = 0;
constexpr int SIM_NOT_WON = 3;

std::string stem(const std::string& level_file) {
    return fs::path(level_file).stem().string();
}

std::string solution_path(const std::string& level_file, const std::string& suffix = "") {
    return std::string(GEARLOFT_TEST_DATA_DIR) + "/solutions/" + stem(level_file) + suffix + ".sav";
}

std::vector<std::string> solution_paths(const std::string& level_file) {
    std::vector<std::string> paths;
    for (const char* suffix : SOLUTION_SUFFIXES)
        if (fs::is_regular_file(solution_path(level_file, suffix)))
            paths.push_back(solution_path(level_file, suffix));
    return paths;
}

// The saves of tempting wrong approaches to a level, in file name order.
std::vector<std::string> wrong_paths(const std::string& level_file) {
    std::vector<std::string> paths;
    fs::path folder = fs::path(GEARLOFT_TEST_DATA_DIR) / "wrong" / stem(level_file);
    if (fs::is_directory(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct SimOutcome {
    int status = -1;
    std::string output;
};

// Runs gearloft-sim on a save in the game folder (the tests' working folder).
SimOutcome run_sim(const std::string& save, int max_frames, const std::string& options = "") {
    std::string command = std::string("'") + GEARLOFT_SIM_PATH + "' '" + save + "' --max-frames " +
                          std::to_string(max_frames) + options + " 2>&1";
    SimOutcome outcome;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return outcome;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        outcome.output += buffer;
    int raw = pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

// The metrics of a won run, from the runner's "steps=S parts=P code=C" line.
std::optional<Metrics> won_metrics(const SimOutcome& outcome) {
    Metrics metrics;
    if (outcome.status != SIM_WON ||
        std::sscanf(outcome.output.c_str(), "steps=%d parts=%d code=%d\n", &metrics.steps, &metrics.parts,
                    &metrics.code) != 3)
        return std::nullopt;
    return metrics;
}

bool meets_par(const Metrics& metrics, const Par& par) {
    return metrics.steps <= par.steps.value_or(-1) && metrics.parts <= par.parts.value_or(-1) &&
           metrics.code <= par.code.value_or(-1);
}

// The record lines before "CODE" name each part by its kind letter.
bool uses_kind(const std::string& save, char letter) {
    std::string parts = "\n" + save.substr(0, save.find("\nCODE\n") + 1);
    return parts.find(std::string("\n") + letter + ",") != std::string::npos;
}

// The kind of part a level is the first to need, if it is one.
std::optional<char> needed_kind(const std::string& level_file) {
    for (const auto& [letter, level] : NEEDED_BY)
        if (level_file == level)
            return letter;
    return std::nullopt;
}

// What the parts bin hands out, as save records of devices at cell (0, 0)
// with number 0, and the conveyer settings its buttons offer.
struct PartsBinOffers {
    std::set<std::string> devices;
    std::map<ConveyerSetting, std::set<int>> settings;

    PartsBinOffers() {
        PartsBin bin;
        for (const auto& item : bin.items) {
            if (item->is_setting()) {
                settings[*item->setting].insert(item->value);
                continue;
            }
            std::unique_ptr<Device> device = item->device->copy();
            device->give_name(0);
            devices.insert(device->get_save_stub());
        }
    }

    bool offers(Device& device) const {
        if (auto* belt = dynamic_cast<DeviceConveyer*>(&device))
            return settings.at(ConveyerSetting::length).count(belt->length) &&
                   settings.at(ConveyerSetting::direction).count(belt->direction) &&
                   settings.at(ConveyerSetting::period).count(belt->period);
        // The same kind and parameters as a bin prototype moved to (0, 0).
        std::unique_ptr<Device> probe = device.copy();
        probe->x = 0;
        probe->y = 0;
        probe->give_name(0);
        return devices.count(probe->get_save_stub()) > 0;
    }
};

std::multiset<std::pair<int, int>> converter_types(const Level& level) {
    std::multiset<std::pair<int, int>> types;
    for (const auto& device : level.devices)
        if (auto* converter = dynamic_cast<DeviceConverter*>(device.get()))
            types.insert({converter->from_type, converter->to_type});
    return types;
}

// A save the game itself could write for this level: only what the parts
// bin offers plus the level's own converters, placed by the placement rules,
// each kind numbered 0, 1, 2, ... as the level loop names them.
void expect_buildable(const std::string& save, const std::string& level_file) {
    static const PartsBinOffers offers;
    LoadResult level_loaded = load_level(save.c_str(), LevelSource::save_file);
    ASSERT_TRUE(level_loaded.level) << level_loaded.message;
    Level& level = *level_loaded.level;
    EXPECT_EQ(level.level_name, level_file);
    LoadResult original_loaded = load_level(level_file.c_str(), LevelSource::level_file);
    ASSERT_TRUE(original_loaded.level) << original_loaded.message;
    Level& original = *original_loaded.level;
    std::multiset<std::pair<int, int>> converters = converter_types(level), own = converter_types(original);
    EXPECT_TRUE(std::includes(own.begin(), own.end(), converters.begin(), converters.end()))
        << "only the level's own converters (a player may remove them)";

    std::map<std::string, std::set<int>> numbers;
    size_t scriptable = 0;
    for (const auto& device : level.devices) {
        if (device->fixed)
            continue;
        std::string record = device->get_save_stub();
        EXPECT_FALSE(placement_refused(level, *device)) << record;
        if (dynamic_cast<DeviceConverter*>(device.get()) == nullptr) {
            EXPECT_TRUE(offers.offers(*device)) << "not in the parts bin: " << record;
        }
        if (!device->kind.takes_name())
            continue;
        ++scriptable;
        numbers[device->kind.word].insert(device->number);
        EXPECT_EQ(device->name, device->kind.word + ("_" + std::to_string(device->number)));
    }
    // Placed one by one, each kind is numbered 0, 1, 2, ... without gaps.
    size_t named = 0;
    for (const auto& [kind, taken] : numbers) {
        named += taken.size();
        EXPECT_EQ(*taken.rbegin() + 1, static_cast<int>(taken.size()))
            << kind << " numbers are not 0.." << taken.size() - 1;
    }
    EXPECT_EQ(named, scriptable) << "two devices of one kind share a number";
}

class CampaignTest : public testing::TestWithParam<CampaignLevel> {};

std::string test_name(const testing::TestParamInfo<CampaignLevel>& info) {
    std::string name = stem(info.param.file);
    std::replace(name.begin(), name.end(), '-', '_');
    return "L" + name;
}

} // namespace

TEST_P(CampaignTest, SolutionWinsInTime) {
    SimOutcome outcome = run_sim(solution_path(GetParam().file), GetParam().max_frames);
    EXPECT_EQ(outcome.status, SIM_WON) << outcome.output;
    EXPECT_NE(outcome.output.find(" won=1 "), std::string::npos) << outcome.output;
}

// Each level's par holds all three metrics, and each is the best of its
// solutions on that metric: par is always backed by a machine, and never
// lags behind a better one that is known.
TEST_P(CampaignTest, SolutionsSetPar) {
    Par par = read_level_par(GetParam().file);
    ASSERT_TRUE(par.steps && par.parts && par.code) << "par, STEPS, PARTS and par_code, CODE, 0";
    Metrics best{INT_MAX, INT_MAX, INT_MAX};
    for (const auto& path : solution_paths(GetParam().file)) {
        SCOPED_TRACE(path);
        std::optional<Metrics> metrics = won_metrics(run_sim(path, IDLE_FRAMES, " --metrics"));
        ASSERT_TRUE(metrics) << "every solution wins";
        best = {std::min(best.steps, metrics->steps), std::min(best.parts, metrics->parts),
                std::min(best.code, metrics->code)};
        if (auto kind = needed_kind(GetParam().file)) {
            EXPECT_TRUE(uses_kind(read_file(path), *kind)) << "a solution uses the part its level teaches";
        }
    }
    EXPECT_EQ(*par.steps, best.steps);
    EXPECT_EQ(*par.parts, best.parts);
    EXPECT_EQ(*par.code, best.code);
}

TEST_P(CampaignTest, LeftAloneItIsNotWon) {
    ScratchDir scratch;
    // Nothing on the floor but the level's fixed belts...
    std::string bare = scratch.write("bare.sav", std::string(GetParam().file) + "\nCODE\n0\n0\n");
    SimOutcome outcome = run_sim(bare, IDLE_FRAMES);
    EXPECT_EQ(outcome.status, SIM_NOT_WON) << outcome.output;

    // ...and the level as it opens, its converters where the file puts them.
    LoadResult level_loaded = load_level(GetParam().file, LevelSource::level_file);
    ASSERT_TRUE(level_loaded.level) << level_loaded.message;
    Level& level = *level_loaded.level;
    std::string records;
    for (const auto& device : level.devices)
        if (!device->fixed)
            records += device->get_save_stub() + "\n";
    std::string as_opened = scratch.write("opened.sav", std::string(GetParam().file) + "\n" + records + "CODE\n0\n0\n");
    outcome = run_sim(as_opened, IDLE_FRAMES);
    EXPECT_EQ(outcome.status, SIM_NOT_WON) << outcome.output;
}

TEST_P(CampaignTest, SolutionsAreBuiltFromThePartsBin) {
    for (const auto& path : solution_paths(GetParam().file)) {
        SCOPED_TRACE(path);
        expect_buildable(path, GetParam().file);
    }
}

// A wrong approach may win, but never as well as par on all three metrics at
// once; on the first level of a part, one without that part does not win.
TEST_P(CampaignTest, WrongApproachesMissPar) {
    std::vector<std::string> wrong = wrong_paths(GetParam().file);
    EXPECT_GE(wrong.size(), MIN_WRONG_APPROACHES) << "a level keeps its tempting wrong approaches";
    Par par = read_level_par(GetParam().file);
    std::optional<char> needed = needed_kind(GetParam().file);
    for (const auto& path : wrong) {
        SCOPED_TRACE(path);
        expect_buildable(path, GetParam().file);
        if (!RUN_DATA_CHECKS)
            continue;
        SimOutcome outcome = run_sim(path, IDLE_FRAMES, " --metrics");
        EXPECT_TRUE(outcome.status == SIM_WON || outcome.status == SIM_NOT_WON) << outcome.output;
        std::optional<Metrics> metrics = won_metrics(outcome);
        if (!metrics)
            continue;
        EXPECT_FALSE(meets_par(*metrics, par)) << outcome.output;
        if (needed) {
            EXPECT_TRUE(uses_kind(read_file(path), *needed)) << "won without the part: " << outcome.output;
        }
    }
}

TEST_P(CampaignTest, SolutionNeedsItsProgram) {
    if (get_level_difficulty_from_file(GetParam().file) < PROGRAM_NEEDED_FROM || !RUN_DATA_CHECKS)
        GTEST_SKIP() << "an easy level may need no program; the sanitizer build leaves this to the normal one";
    std::string solution = read_file(solution_path(GetParam().file));
    ScratchDir scratch;
    std::string parts_only =
        scratch.write("parts-only.sav", solution.substr(0, solution.find("CODE\n")) + "CODE\n0\n0\n");
    SimOutcome outcome = run_sim(parts_only, IDLE_FRAMES);
    EXPECT_EQ(outcome.status, SIM_NOT_WON) << outcome.output;
}

TEST_P(CampaignTest, SolutionFilesAreWhatTheGameSaves) {
    ScratchDir scratch;
    for (const auto& path : solution_paths(GetParam().file)) {
        SCOPED_TRACE(path);
        LoadResult level_loaded = load_level(path.c_str(), LevelSource::save_file);
        ASSERT_TRUE(level_loaded.level) << level_loaded.message;
        Level& level = *level_loaded.level;
        std::string copy = scratch.write("copy.sav", "");
        ASSERT_TRUE(save_level(level, copy.c_str(), saved_program(level)));
        EXPECT_EQ(read_file(copy), read_file(path))
            << "a row count that does not match its rows, or lines after the program";
    }
}

TEST_P(CampaignTest, LevelFitsTheFloorAndTheList) {
    LoadResult level_loaded = load_level(GetParam().file, LevelSource::level_file);
    ASSERT_TRUE(level_loaded.level) << level_loaded.message;
    Level& level = *level_loaded.level;
    EXPECT_FALSE(level.catchers.empty());
    for (const auto& catcher : level.catchers)
        EXPECT_TRUE(catcher->is_valid()) << "catcher at " << catcher->x << ", " << catcher->y;
    for (const auto& spawner : level.spawners) {
        EXPECT_TRUE(Level::on_floor(spawner->x, spawner->y)) << "spawner at " << spawner->x << ", " << spawner->y;
        EXPECT_GE(spawner->period, 1);
    }
    for (const auto& device : level.devices)
        EXPECT_FALSE(placement_refused(level, *device)) << device->get_save_stub();

    std::string description = get_level_desc_from_file(GetParam().file);
    EXPECT_FALSE(description.empty());
    EXPECT_LE(description.size(), LIST_ROW_MAX) << description;
    int difficulty = get_level_difficulty_from_file(GetParam().file);
    EXPECT_GE(difficulty, 1);
    EXPECT_LE(difficulty, 9);
    // Its row of the list, in the game's font, fits the window's width.
    ASSERT_EQ(TTF_Init(), 0);
    std::string row = level_row_text(difficulty, description);
    int width = 0, height = 0;
    ASSERT_NE(font_of_size(10), nullptr);
    TTF_SizeText(font_of_size(10), row.c_str(), &width, &height);
    EXPECT_LE(LIST_LEFT + width, 800) << row;
    close_fonts();
    TTF_Quit();
}

INSTANTIATE_TEST_SUITE_P(Campaign, CampaignTest, testing::ValuesIn(CAMPAIGN), test_name);

TEST(Campaign, EveryLevelIsInTheTable) {
    std::set<std::string> listed;
    for (const auto& level : CAMPAIGN)
        listed.insert(level.file);
    std::vector<std::string> found = find_levels();
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), listed) << "every level has a row in the table";
}

TEST(Campaign, EveryBlockTypeAppears) {
    std::set<unsigned char> seen;
    for (const auto& entry : CAMPAIGN) {
        LoadResult level_loaded = load_level(entry.file, LevelSource::level_file);
        ASSERT_TRUE(level_loaded.level) << level_loaded.message;
        Level& level = *level_loaded.level;
        for (const auto& spawner : level.spawners)
            seen.insert(spawner->type);
        for (const auto& catcher : level.catchers)
            seen.insert(catcher->pattern.begin(), catcher->pattern.end());
        for (const auto& device : level.devices)
            if (auto* converter = dynamic_cast<DeviceConverter*>(device.get()))
                seen.insert({converter->from_type, converter->to_type});
    }
    for (const auto& block : BLOCK_TYPES)
        EXPECT_TRUE(seen.count(block.type)) << "no level uses block type " << block.type;
}

TEST(Campaign, SolutionsUseEveryKindOfDevice) {
    std::set<std::string> used;
    bool converter_moved = false;
    for (const auto& entry : CAMPAIGN) {
        LoadResult solution_loaded = load_level(solution_path(entry.file).c_str(), LevelSource::save_file);
        ASSERT_TRUE(solution_loaded.level) << solution_loaded.message;
        Level& solution = *solution_loaded.level;
        LoadResult original_loaded = load_level(entry.file, LevelSource::level_file);
        ASSERT_TRUE(original_loaded.level) << original_loaded.message;
        Level& original = *original_loaded.level;
        for (const auto& device : solution.devices) {
            if (device->fixed)
                continue;
            if (dynamic_cast<DeviceConveyer*>(device.get()) != nullptr)
                used.insert("conveyer");
            used.insert(device->kind.word);
            if (dynamic_cast<DeviceConverter*>(device.get()) == nullptr)
                continue;
            bool at_home = std::any_of(original.devices.begin(), original.devices.end(), [&](const auto& home) {
                return home->get_save_stub() == device->get_save_stub();
            });
            converter_moved = converter_moved || !at_home;
        }
    }
    for (const char* kind : {"conveyer", "pusher", "sensor", "sprayer", "indicator", "grabber"})
        EXPECT_TRUE(used.count(kind)) << "no solution uses a " << kind;
    EXPECT_TRUE(converter_moved) << "no solution moves a converter";
}

// WrongApproachesMissPar runs them; here each such level keeps at least one
// wrong approach without its part.
TEST(Campaign, EveryKindThatActsOnBlocksIsNeededByALevel) {
    std::vector<std::pair<char, const char*>> levels(std::begin(NEEDED_BY), std::end(NEEDED_BY));
    levels.push_back(SENSED_BY);
    for (const auto& [letter, level] : levels) {
        SCOPED_TRACE(level);
        EXPECT_TRUE(uses_kind(read_file(solution_path(level)), letter));
        std::vector<std::string> wrong = wrong_paths(level);
        EXPECT_TRUE(std::any_of(wrong.begin(), wrong.end(),
                                [letter = letter](const auto& path) { return !uses_kind(read_file(path), letter); }))
            << "no wrong approach leaves out the kind " << letter;
    }
}

TEST(Campaign, ListShowsTheLevelsInFileOrder) {
    std::vector<std::string> found = find_levels();
    EXPECT_EQ(order_by_difficulty(found), found) << "difficulties must not fall from one file to the next";
    std::set<int> difficulties;
    for (const auto& name : found)
        difficulties.insert(get_level_difficulty_from_file(name));
    EXPECT_EQ(difficulties.size(), 9u) << "every difficulty from 1 to 9";
}
