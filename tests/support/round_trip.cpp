#include "round_trip.h"

#include "files/save_file.h"

std::string saved_program(const Level& level) {
    return program_save_text(code_rows(level.init_code.value_or("")), code_rows(level.cycle_code.value_or("")));
}

std::string round_trip_problem(Level& level, const LevelOpener& open) {
    std::string before = save_text(level, saved_program(level));
    BetterReader reader = BetterReader::of_text(before);
    LoadResult reloaded = read_save_file(reader, open);
    if (!reloaded.level)
        return "the save does not load: " + reloaded.message;
    std::string after = save_text(*reloaded.level, saved_program(*reloaded.level));
    if (before != after)
        return "the save changed on reloading:\n" + before + "\n--- became ---\n" + after;
    return "";
}
