// One run of the simulation, shared by the level loop and gearloft-sim: the
// start (a fresh Lua engine runs every device's table and the initialization
// code) and each frame in its fixed order: the win test, the program, the
// delivery of its actions, one step of the level. Drawing, pacing and the
// message screens are the caller's.
#ifndef GEARLOFT_RUN_RUN_H
#define GEARLOFT_RUN_RUN_H

#include <memory>
#include <optional>
#include <string>
#include <vector>

class Level;
class ScriptingEngine;
struct Action;

// Chunk names; Lua puts them in its error messages.
constexpr const char* FIRST_TIME_CHUNK = "FIRST TIME";
constexpr const char* EVERY_TIME_CHUNK = "EVERY TIME";

// The player's two boxes of code: the initialization code, run once when a
// run starts, and the every-cycle code.
enum class ProgramBox { init, cycle };

// Why a run failed, with what was known where it happened.
struct RunError {
    // What the player is shown: the program's own message, or "device not
    // found: NAME"; short and printable.
    std::string message;
    // The box the failure is in: the one whose line Lua named, else the one
    // whose chunk ran.
    ProgramBox box = ProgramBox::cycle;
    // The line of the player's code in that box that Lua named (1 for the
    // box's first line); for a text that ended too early, the line of the
    // opener left unclosed, or else the box's last written line; 0 when it
    // named none of the player's lines.
    long line = 0;
    // The part whose Lua table stands on the line Lua named, when it named a
    // line of the tables in front of the player's code.
    std::string table_of;
    // The name an action was sent to that no part bears.
    std::optional<std::string> missing_device;
};

// The text run for one chunk: every device's Lua table, in list order, as the
// floor stands now, then the player's code. Each non-empty table text is one
// line, so line k of the code is line k + (devices with a table) of the text.
std::string assemble_program(const Level& level, const std::string& code);
// The same into `program`, whose room is kept from frame to frame, with the
// Lua names of the devices whose tables it holds, in order, in `tables`.
void assemble_program(const Level& level, const std::string& code, std::string& program,
                      std::vector<std::string>& tables);

// Hands the engine's queued actions to the devices by name, in order: every
// device bearing the name receives it. An action for a name no device bears
// is dropped with the rest; that name is returned.
std::optional<std::string> parse_actions(Level& level, ScriptingEngine& engine);
// The same, taking the actions through `taken`, whose room is kept.
std::optional<std::string> parse_actions(Level& level, ScriptingEngine& engine, std::vector<Action>& taken);

// What a frame does once its win test has passed: the game shows the win
// screen and still finishes the frame; gearloft-sim stops there.
enum class AtWin { finish_frame, stop };

// How one frame went.
struct FrameResult {
    // The win test at the frame's start passed: the floor as the previous
    // frame's step left it satisfies every catcher.
    bool won = false;
    // The level's step count when the win test ran.
    int steps = 0;
    // The program ran, its actions were delivered and the level stepped.
    bool stepped = false;
    // The program or an action failed (see Run::error); the level did not step.
    bool failed = false;
};

class Run {
public:
    Run();
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Starts a run on a new engine, which replaces any earlier run's: the
    // devices' tables and the initialization code run once under
    // "FIRST TIME". The actions they queue wait for the first frame. False,
    // with `failure()` set, when the program failed; the level is untouched.
    bool start(Level& level, const std::string& init_code);

    // One simulation frame: the win test, then (unless it passed and `at_win`
    // says stop) the devices' tables and the every-cycle code under
    // "EVERY TIME", the queued actions handed to the devices (an action for
    // a name no device bears fails the frame), and one step of the level.
    // After a failure the caller shows the message, clears the blocks and
    // resets the level.
    FrameResult frame(Level& level, const std::string& cycle_code, AtWin at_win = AtWin::finish_frame);

    // The message of the last failure; empty after a success.
    const std::string& error() const { return failure_.message; }
    // The last failure, with where it came from.
    const RunError& failure() const { return failure_; }
    // The last lines the run's program printed, oldest first (see
    // scripting/output_tail.h); they stay after the run until the next start.
    std::vector<std::string> printed() const;

private:
    std::unique_ptr<ScriptingEngine> engine_;
    RunError failure_;
    // Reused by every frame.
    std::string program_;
    std::vector<Action> actions_;
    // The Lua names of the devices whose tables stand on the program's first
    // lines, one a line, in order.
    std::vector<std::string> tables_;

    // Runs the devices' tables followed by `code` as one chunk; false, with
    // the failure recorded, when it failed.
    bool run_program(Level& level, const std::string& code, ProgramBox box);
    // `last_line` is the last line of the running box's code that holds
    // more than blanks.
    void record_program_error(const std::string& message, ProgramBox running, long last_line);
};

#endif
