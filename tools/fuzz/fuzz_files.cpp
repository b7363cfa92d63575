// Fuzzes the level and save file readers. An input is one byte choosing what
// is loaded (even: the level file, odd: the save), then the level file's
// bytes, then "\n====\n" and the save's bytes; the level file is written as
// levels/f.lvl, so saves that name "f.lvl" read it. Every load must end with
// a level or a load error; a level must save, reload and save the same bytes.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "file_round_trip.h"
#include "level/device_record.h"
#include "level/level.h"

namespace {

const std::string SEPARATOR = "\n====\n";

bool enter_scratch_folder() {
    char pattern[] = "/tmp/gearloft-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0 || mkdir("levels", 0755) != 0) {
        std::perror("gearloft fuzz: scratch folder");
        std::abort();
    }
    return true;
}

void write_file(const char* path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

[[noreturn]] void broken(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = enter_scratch_folder();
    (void)ready;
    if (size == 0)
        return 0;
    std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t cut = rest.find(SEPARATOR);
    write_file("levels/f.lvl", rest.substr(0, cut));
    write_file("f.sav", cut == std::string::npos ? "" : rest.substr(cut + SEPARATOR.size()));

    bool from_save = (data[0] & 1) != 0;
    Level level(from_save ? "f.sav" : "f.lvl", from_save ? 1 : 0);
    if (level.load_problem == LoadProblem::none) {
        std::string problem = round_trip_problem(level, "first.out", "second.out");
        if (!problem.empty())
            broken(problem);
    } else if ((level.load_problem == LoadProblem::invalid_record) != (level.load_error == INVALID_RECORD_MESSAGE) ||
               level.load_error.empty()) {
        broken("load problem and message disagree: " + level.load_error);
    }
    return 0;
}
