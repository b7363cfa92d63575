// gearloft-sim: runs a saved solution without a window, frame by frame as the
// level loop does, and reports how it ended. Run it in the game's working
// folder, like the game.
//
//   gearloft-sim SAVE_FILE [--frames N] [--max-frames N] [--dump]
//
// The last line of standard output is always "ticks=T won=W remaining=R".
// Exit status: 0 run complete (won, or N frames done), 1 corrupt save or
// unusable level file, 2 program error, 3 not won within the maximum,
// 64 bad arguments, 66 a file that cannot be read.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "core/fatal_message.h"
#include "core/run.h"
#include "level/device_record.h"
#include "level/level.h"
#include "scripting/message_text.h"

namespace {

constexpr int EXIT_COMPLETE = 0;
constexpr int EXIT_INVALID = 1;
constexpr int EXIT_PROGRAM_ERROR = 2;
constexpr int EXIT_NOT_WON = 3;
constexpr int EXIT_USAGE = 64;
constexpr int EXIT_NO_INPUT = 66;

constexpr long DEFAULT_MAX_FRAMES = 20000;

struct Options {
    std::string save;
    std::optional<long> frames;
    long max_frames = DEFAULT_MAX_FRAMES;
    bool dump = false;
};

// A frame count: decimal digits only, at most INT_MAX.
std::optional<long> parse_count(const char* text) {
    if (text == nullptr || *text < '0' || *text > '9')
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (*end != '\0' || errno != 0 || value > INT_MAX)
        return std::nullopt;
    return value;
}

std::optional<Options> parse_options(int argc, char** argv) {
    Options options;
    bool have_save = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--dump") {
            options.dump = true;
        } else if (arg == "--frames" || arg == "--max-frames") {
            std::optional<long> count = parse_count(i + 1 < argc ? argv[++i] : nullptr);
            if (!count)
                return std::nullopt;
            if (arg == "--frames")
                options.frames = count;
            else
                options.max_frames = *count;
        } else if (arg.rfind("-", 0) == 0 || have_save) {
            return std::nullopt;
        } else {
            options.save = arg;
            have_save = true;
        }
    }
    if (!have_save)
        return std::nullopt;
    return options;
}

void print_summary(const Level& level) {
    std::string remaining;
    for (const auto& catcher : level.catchers) {
        if (!remaining.empty())
            remaining += ',';
        remaining += std::to_string(catcher->remaining);
    }
    std::printf("ticks=%d won=%d remaining=%s\n", level.ticks, level.win() ? 1 : 0, remaining.c_str());
}

// Runs the frames the options ask for; false when the program failed.
bool run_frames(Run& run, Level& level, const Options& options) {
    const std::string cycle_code = level.cycle_code.value_or("");
    if (options.frames) {
        for (long frame = 0; frame < *options.frames; ++frame)
            if (!run.frame(level, cycle_code))
                return false;
        return true;
    }
    for (long frame = 0; frame < options.max_frames && !level.win(); ++frame)
        if (!run.frame(level, cycle_code))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = parse_options(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: gearloft-sim SAVE_FILE [--frames N] [--max-frames N] [--dump]\n");
        return EXIT_USAGE;
    }

    Level level(options->save.c_str(), 1);
    switch (load_outcome(level)) {
    case LoadOutcome::open: break;
    case LoadOutcome::fatal: fatal_message(nullptr, INVALID_RECORD_TITLE, level.load_error.c_str());
    case LoadOutcome::show_error:
        std::fprintf(stderr, "gearloft-sim: %s\n", level.load_error.c_str());
        return level.load_problem == LoadProblem::unreadable ? EXIT_NO_INPUT : EXIT_INVALID;
    }

    Run run;
    bool ok = run.start(level, level.init_code.value_or("")) && run_frames(run, level, *options);
    if (!ok)
        std::printf("error: %s\n", shortened_message(run.error()).c_str());
    if (options->dump)
        level.debug();
    print_summary(level);
    if (!ok)
        return EXIT_PROGRAM_ERROR;
    return options->frames || level.win() ? EXIT_COMPLETE : EXIT_NOT_WON;
}
