// gearloft-budget-bench: does the instruction budget decide, or the clock?
// It runs every hostile program (tests/data/hostile/CLASS/*.lua, as one
// every-cycle chunk of a fresh engine) and every campaign solution
// (tests/data/solutions/*.sav, frame by frame until won) with the backstop
// off, and compares the time each took with the instructions it was
// charged. A ratio of 1 means that the program, carried on alike, would meet
// the time limit just as it used up its instructions; the budget decides
// alone while every ratio stays well below 1, on a busy machine too. Beside
// it stands the longest stretch of thread CPU time between two looks at the
// limits, the points where a chunk can be stopped: one instruction or
// library call that nothing interrupts.
//
// Run it in the game's working folder:
//   gearloft-budget-bench [PROGRAM.lua | SAVE.sav ...]
// One line per program: "NAME charged=N cpu_ms=C wall_ms=W cpu_ratio=X
// wall_ratio=Y longest_ms=L", the ratios "-" for a program that took less
// than MEASURED_MS; then "worst cpu ratio X (NAME)", "worst wall ratio Y
// (NAME)" and "longest stretch L ms (NAME)". Exit status 0 when every
// program was measured, 1 otherwise.
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/save_file.h"
#include "level/level.h"
#include "run/run.h"
#include "scripting/scripting_engine.h"

namespace {

namespace fs = std::filesystem;

// Programs that took less CPU time than this are dominated by the fixed cost
// of a chunk (making the state, arming the timer), which the budget need
// not cover.
constexpr double MEASURED_MS = 2;
constexpr long MAX_FRAMES = 20000;
constexpr long SAMPLE_NS = 1000000;

double thread_cpu_ms() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double wall_ms() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Every millisecond of the thread's CPU time a signal asks whether the
// engine has looked at its limits since the last one; the longest run of
// "no" is the longest stretch, to the millisecond.
volatile std::sig_atomic_t checks = 0;
volatile std::sig_atomic_t seen_checks = 0;
volatile std::sig_atomic_t silent_samples = 0;
volatile std::sig_atomic_t most_silent_samples = 0;

void count_check() {
    checks = checks + 1;
}

void on_sample(int) {
    if (checks != seen_checks) {
        seen_checks = checks;
        silent_samples = 0;
        return;
    }
    silent_samples = silent_samples + 1;
    if (silent_samples > most_silent_samples)
        most_silent_samples = silent_samples;
}

class StretchSampler {
public:
    StretchSampler() {
        struct sigaction action = {};
        action.sa_handler = on_sample;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGRTMIN + 5, &action, nullptr);
        struct sigevent event = {};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = SIGRTMIN + 5;
        event._sigev_un._tid = static_cast<pid_t>(syscall(SYS_gettid));
        ready_ = timer_create(CLOCK_THREAD_CPUTIME_ID, &event, &timer_) == 0;
    }
    ~StretchSampler() {
        if (ready_)
            timer_delete(timer_);
    }
    StretchSampler(const StretchSampler&) = delete;
    StretchSampler& operator=(const StretchSampler&) = delete;

    void start() {
        silent_samples = 0;
        most_silent_samples = 0;
        arm(SAMPLE_NS);
    }
    // The longest stretch since the start, in milliseconds.
    int stop() {
        arm(0);
        return most_silent_samples;
    }

private:
    timer_t timer_{};
    bool ready_ = false;

    void arm(long period_ns) {
        if (!ready_)
            return;
        struct itimerspec when = {};
        when.it_value.tv_nsec = period_ns;
        when.it_interval.tv_nsec = period_ns;
        timer_settime(timer_, 0, &when, nullptr);
    }
};

struct Measured {
    std::string name;
    long long charged = 0;
    double cpu_ms = 0;
    double wall_ms = 0;
    int longest_ms = 0;
    bool failed = false;

    bool long_enough() const { return cpu_ms >= MEASURED_MS; }
    // Time against the backstop over instructions against the budget.
    double ratio(double ms) const {
        ScriptLimits game;
        double budget_used = static_cast<double>(charged) / static_cast<double>(game.instructions);
        return ms / static_cast<double>(game.time.count()) / budget_used;
    }
};

ScriptLimits backstop_off() {
    ScriptLimits limits;
    limits.backstop = ScriptLimits::Backstop::off;
    return limits;
}

// Runs one chunk, adding its times and its charge.
void run_chunk(ScriptingEngine& engine, const std::string& code, const char* chunk_name, Measured& measured) {
    double cpu_start = thread_cpu_ms(), wall_start = wall_ms();
    engine.run_code(code, chunk_name);
    measured.cpu_ms += thread_cpu_ms() - cpu_start;
    measured.wall_ms += wall_ms() - wall_start;
    measured.charged += engine.instructions_spent();
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void measure_program(const std::string& path, Measured& measured) {
    ScriptingEngine engine(backstop_off());
    engine.set_check_listener(count_check);
    run_chunk(engine, file_text(path), EVERY_TIME_CHUNK, measured);
}

// As the game runs a save (Run::frame), with each chunk timed by itself.
void measure_save(const std::string& path, Measured& measured) {
    LoadResult loaded = load_level(path.c_str(), LevelSource::save_file);
    if (!loaded.level) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), loaded.message.c_str());
        measured.failed = true;
        return;
    }
    Level& level = *loaded.level;
    ScriptingEngine engine(backstop_off());
    engine.set_check_listener(count_check);
    run_chunk(engine, assemble_program(level, level.init_code.value_or("")), FIRST_TIME_CHUNK, measured);
    std::string cycle_code = level.cycle_code.value_or(""), program;
    std::vector<std::string> tables;
    for (long frame = 0; !engine.error() && frame < MAX_FRAMES && !level.win(); ++frame) {
        assemble_program(level, cycle_code, program, tables);
        run_chunk(engine, program, EVERY_TIME_CHUNK, measured);
        if (engine.error() || parse_actions(level, engine))
            break;
        level.tick();
    }
}

std::vector<std::string> corpus() {
    std::vector<std::string> files;
    std::error_code failure;
    for (const auto& entry : fs::recursive_directory_iterator(GEARLOFT_HOSTILE_DIR, failure))
        if (entry.path().extension() == ".lua")
            files.push_back(entry.path().string());
    for (const auto& entry : fs::directory_iterator(GEARLOFT_SOLUTIONS_DIR, failure))
        if (entry.path().extension() == ".sav")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// The programs' own output goes nowhere; the report goes to what was the
// standard output.
std::FILE* report_stream() {
    int report = dup(STDOUT_FILENO);
    int nowhere = open("/dev/null", O_WRONLY);
    if (report < 0 || nowhere < 0)
        return stdout;
    std::fflush(stdout);
    dup2(nowhere, STDOUT_FILENO);
    close(nowhere);
    return fdopen(report, "w");
}

std::string shown_name(const std::string& path) {
    fs::path file(path);
    if (file.extension() == ".lua")
        return file.parent_path().filename().string() + "/" + file.filename().string();
    return file.stem().string();
}

void print_ratio(std::FILE* out, const char* label, const Measured& measured, double ms) {
    if (measured.long_enough())
        std::fprintf(out, " %s=%.3f", label, measured.ratio(ms));
    else
        std::fprintf(out, " %s=-", label);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files(argv + 1, argv + argc);
    if (files.empty())
        files = corpus();
    std::FILE* out = report_stream();
    StretchSampler sampler;
    Measured worst_cpu, worst_wall, longest;
    int status = files.empty() ? 1 : 0;
    for (const std::string& path : files) {
        Measured measured;
        measured.name = shown_name(path);
        sampler.start();
        if (fs::path(path).extension() == ".sav")
            measure_save(path, measured);
        else
            measure_program(path, measured);
        measured.longest_ms = sampler.stop();
        if (measured.failed) {
            status = 1;
            continue;
        }
        std::fprintf(out, "%s charged=%lld cpu_ms=%.1f wall_ms=%.1f", measured.name.c_str(), measured.charged,
                     measured.cpu_ms, measured.wall_ms);
        print_ratio(out, "cpu_ratio", measured, measured.cpu_ms);
        print_ratio(out, "wall_ratio", measured, measured.wall_ms);
        std::fprintf(out, " longest_ms=%d\n", measured.longest_ms);
        std::fflush(out);
        if (measured.long_enough() && (worst_cpu.name.empty() || measured.ratio(measured.cpu_ms) >
                                                                     worst_cpu.ratio(worst_cpu.cpu_ms)))
            worst_cpu = measured;
        if (measured.long_enough() && (worst_wall.name.empty() || measured.ratio(measured.wall_ms) >
                                                                      worst_wall.ratio(worst_wall.wall_ms)))
            worst_wall = measured;
        if (longest.name.empty() || measured.longest_ms > longest.longest_ms)
            longest = measured;
    }
    if (!worst_cpu.name.empty()) {
        std::fprintf(out, "worst cpu ratio %.3f (%s)\n", worst_cpu.ratio(worst_cpu.cpu_ms), worst_cpu.name.c_str());
        std::fprintf(out, "worst wall ratio %.3f (%s)\n", worst_wall.ratio(worst_wall.wall_ms),
                     worst_wall.name.c_str());
    }
    if (!longest.name.empty())
        std::fprintf(out, "longest stretch %d ms (%s)\n", longest.longest_ms, longest.name.c_str());
    std::fclose(out);
    return status;
}
