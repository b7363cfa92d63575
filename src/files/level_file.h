// Level files: a description line, a difficulty line, then an item count and
// that many items (spawners, catchers, fixed belts, converters), each a
// keyword, x, y and the keyword's own fields. Loading a level file or a save
// gives a level ready to play, or the reason it cannot be played.
#ifndef GEARLOFT_FILES_LEVEL_FILE_H
#define GEARLOFT_FILES_LEVEL_FILE_H

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "files/better_reader.h"
#include "files/metrics.h"
#include "files/paths.h"
#include "level/level.h"

// Longest level file name (inside LEVELS_FOLDER) a level or save may name.
constexpr std::size_t LEVEL_NAME_MAX = 120;
// Most items a level file may hold: one per floor cell. A spawner, a belt or
// a catcher needs a cell of its own to be of any use, so no playable level
// comes near it, and it keeps both loading and every step of a run short.
constexpr int LEVEL_ITEMS_MAX = FLOOR_W * FLOOR_H;

// Why a level could not be built from its file.
enum class LoadProblem {
    none,
    unreadable,     // the save, or the level file it names, cannot be opened
    bad_level_file, // the level file holds items no floor can use, or too many
    invalid_record, // the save holds a line that is no device record
    bad_save,       // the save holds devices no floor can take, or too many
};

// A loaded level with its level file's par, or why there is none; `message`
// tells the player.
struct LoadResult {
    std::unique_ptr<Level> level;
    Par par;
    LoadProblem problem = LoadProblem::none;
    std::string message;
};
LoadResult load_failure(LoadProblem problem, std::string message);

// Opens a level file by its name inside LEVELS_FOLDER; a reader that is not
// open when there is no such file. Tests hand in texts instead of files.
using LevelOpener = std::function<BetterReader(const std::string& name)>;
BetterReader open_level_file(const std::string& name);

// A plain file name inside LEVELS_FOLDER, not too long: no folder, no path
// separator, no zero byte. Saves are shared and name their level, so no
// other name is ever opened.
bool plain_level_name(const std::string& name);

// What becomes of a level file's converters: a level opened from its file
// gets them; a save brings its own (the player may have moved them).
enum class LevelConverters { placed, left_out };

// Reads the items of the level file `name` into the level, in file order;
// converter items are always read, and placed or left out.
// The failure when `name` is no plain file name inside LEVELS_FOLDER (judged
// before anything is opened), when the file cannot be opened, or when it
// holds items no floor can use, or too many. Par items go into `par` when
// one is given.
std::optional<LoadResult> read_level_items(Level& level, const std::string& name, const LevelOpener& open,
                                           LevelConverters converters, Par* par = nullptr);

// A level from its level file, named inside LEVELS_FOLDER.
LoadResult read_level_file(const std::string& name, const LevelOpener& open = open_level_file);

// The par of the level file `name`; nothing set when it has none or cannot
// be read.
Par read_level_par(const std::string& name, const LevelOpener& open = open_level_file);

#endif
