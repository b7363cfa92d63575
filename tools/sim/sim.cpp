// gearloft-sim: runs a saved solution without a window, frame by frame as the
// level loop does, and reports how it ended; or describes a save or a level,
// or lists the levels, for scripts that must not read the game's files.
// Run it in the game's working folder, like the game.
//
//   gearloft-sim SAVE_FILE [--frames N] [--max-frames N] [--dump] [--metrics]
//   gearloft-sim (SAVE_FILE | --level NAME) --describe
//   gearloft-sim --list
//
// A run's last line of standard output is always "ticks=T won=W remaining=R";
// a program error is told on the lines before it: "error: MESSAGE", then
// "hint: HINT" when there is a hint in the player's terms; with --metrics,
// a won run puts "steps=S parts=P code=C" right before the last line.
// Exit status: 0 run complete (won, or N frames done), 1 corrupt save or
// unusable level file, 2 program error, 3 not won within the maximum,
// 64 bad arguments, 66 a file that cannot be read.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "files/describe.h"
#include "files/device_record.h"
#include "files/level_file.h"
#include "files/levels_folder.h"
#include "files/save_file.h"
#include "run/error_hint.h"
#include "run/measure.h"
#include "run/run.h"
#include "text/message_text.h"

#include "../exit_status.h"

namespace {

constexpr long DEFAULT_MAX_FRAMES = 20000;

struct Options {
    std::string file;
    LevelSource source = LevelSource::save_file;
    std::optional<long> frames;
    long max_frames = DEFAULT_MAX_FRAMES;
    bool dump = false;
    bool metrics = false;
    bool describe = false;
    bool list = false;
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
    bool have_file = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--dump") {
            options.dump = true;
        } else if (arg == "--metrics") {
            options.metrics = true;
        } else if (arg == "--describe") {
            options.describe = true;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--frames" || arg == "--max-frames") {
            std::optional<long> count = parse_count(i + 1 < argc ? argv[++i] : nullptr);
            if (!count)
                return std::nullopt;
            if (arg == "--frames")
                options.frames = count;
            else
                options.max_frames = *count;
        } else if (arg == "--level" && i + 1 < argc && !have_file) {
            options.file = argv[++i];
            options.source = LevelSource::level_file;
            have_file = true;
        } else if (arg.rfind("-", 0) == 0 || have_file) {
            return std::nullopt;
        } else {
            options.file = arg;
            have_file = true;
        }
    }
    // A level file can only be described: it has no program to run.
    if (have_file == options.list || (options.source == LevelSource::level_file && !options.describe))
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

// Runs the frames the options ask for: N frames, or until the win test
// passes; false when the program failed. `won_at` is the step count when the
// win test first passed.
bool run_frames(Run& run, Level& level, const Options& options, std::optional<int>& won_at) {
    const std::string cycle_code = level.cycle_code.value_or("");
    long frames = options.frames.value_or(options.max_frames);
    AtWin at_win = options.frames ? AtWin::finish_frame : AtWin::stop;
    for (long frame = 0; frame < frames; ++frame) {
        FrameResult result = run.frame(level, cycle_code, at_win);
        if (result.won && !won_at)
            won_at = result.steps;
        if (result.failed)
            return false;
        if (!result.stepped)
            break;
    }
    return true;
}

int list_levels() {
    for (const std::string& name : order_by_difficulty(find_levels()))
        std::printf("%s\t%s\n", name.c_str(), get_level_desc_from_file(name).c_str());
    return EXIT_COMPLETE;
}

int simulate(Level& level, const Options& options) {
    Run run;
    std::optional<int> won_at;
    bool ok = run.start(level, level.init_code.value_or("")) && run_frames(run, level, options, won_at);
    if (!ok) {
        std::printf("error: %s\n", shortened_message(run.error()).c_str());
        std::string hint = error_hint(run.failure(), level);
        if (!hint.empty())
            std::printf("hint: %s\n", hint.c_str());
    }
    if (options.dump)
        level.debug();
    if (ok && won_at && options.metrics) {
        Metrics metrics = measure_win(level, *won_at, level.init_code.value_or(""), level.cycle_code.value_or(""));
        std::printf("steps=%d parts=%d code=%d\n", metrics.steps, metrics.parts, metrics.code);
    }
    print_summary(level);
    if (!ok)
        return EXIT_PROGRAM_ERROR;
    return options.frames || level.win() ? EXIT_COMPLETE : EXIT_NOT_WON;
}

} // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = parse_options(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: gearloft-sim SAVE_FILE [--frames N] [--max-frames N] [--dump] [--metrics]\n"
                             "       gearloft-sim (SAVE_FILE | --level NAME) --describe\n"
                             "       gearloft-sim --list\n");
        return EXIT_USAGE;
    }
    if (options->list)
        return list_levels();

    LoadResult loaded = load_level(options->file.c_str(), options->source);
    if (!loaded.level) {
        // The game shows the corrupt-save message in a box under this title.
        const char* title = loaded.problem == LoadProblem::invalid_record ? INVALID_RECORD_TITLE : "gearloft-sim";
        std::fprintf(stderr, "%s: %s\n", title, loaded.message.c_str());
        return loaded.problem == LoadProblem::unreadable ? EXIT_NO_INPUT : EXIT_INVALID;
    }
    if (options->describe) {
        // Code rows may hold zero bytes; they are printed as they are.
        std::string text = describe_level(*loaded.level);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return EXIT_COMPLETE;
    }
    return simulate(*loaded.level, *options);
}
