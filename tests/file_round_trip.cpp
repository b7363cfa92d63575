#include "file_round_trip.h"

#include <fstream>
#include <sstream>

#include "level/level.h"
#include "level/save_file.h"

namespace {
std::string file_bytes(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

std::string saved_program(const Level& level) {
    return program_save_text(code_rows(level.init_code.value_or("")), code_rows(level.cycle_code.value_or("")));
}

std::string round_trip_problem(Level& level, const char* first, const char* second) {
    std::string failure;
    if (!level.save(first, saved_program(level), &failure))
        return "first save failed: " + failure;
    Level reloaded(first, 1);
    if (reloaded.load_problem != LoadProblem::none)
        return "the save does not load: " + reloaded.load_error;
    if (!reloaded.save(second, saved_program(reloaded), &failure))
        return "second save failed: " + failure;
    std::string before = file_bytes(first);
    std::string after = file_bytes(second);
    if (before != after)
        return "the save changed on reloading:\n" + before + "\n--- became ---\n" + after;
    return "";
}
