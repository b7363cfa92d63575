// Fuzzes the level and save file readers. An input is one byte choosing what
// is loaded (even: the level file, odd: the save), then the level file's
// bytes, then "\n====\n" and the save's bytes; the level file is known as
// f.lvl, so saves that name it read it. Every load must end with a level or
// a load error; a level must save, reload and save the same text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "round_trip.h"
#include "files/device_record.h"
#include "files/save_file.h"

namespace {

const std::string SEPARATOR = "\n====\n";

[[noreturn]] void broken(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t cut = rest.find(SEPARATOR);
    const std::string level_text = rest.substr(0, cut);
    LevelOpener open = [&level_text](const std::string& name) {
        return name == "f.lvl" ? BetterReader::of_text(level_text) : BetterReader("");
    };
    BetterReader save = BetterReader::of_text(cut == std::string::npos ? "" : rest.substr(cut + SEPARATOR.size()));
    LoadResult loaded = (data[0] & 1) != 0 ? read_save_file(save, open) : read_level_file("f.lvl", open);
    if (loaded.level) {
        std::string problem = round_trip_problem(*loaded.level, open);
        if (!problem.empty())
            broken(problem);
    } else if ((loaded.problem == LoadProblem::invalid_record) != (loaded.message == INVALID_RECORD_MESSAGE) ||
               loaded.message.empty() || loaded.problem == LoadProblem::none) {
        broken("load problem and message disagree: " + loaded.message);
    }
    return 0;
}
