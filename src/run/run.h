// One run of the simulation, shared by the level loop and gearloft-sim: the
// start (a fresh Lua engine runs every device's table and the initialization
// code) and each frame in its fixed order: the win test, the program, the
// delivery of its actions, one step of the level. Drawing, pacing and the
// message screens are the caller's.
#ifndef GEARLOFT_RUN_RUN_H
#define GEARLOFT_RUN_RUN_H

#include <memory>
#include <string>
#include <vector>

#include "scripting/scripting_engine.h"

class Level;

// Chunk names; Lua puts them in its error messages.
constexpr const char* FIRST_TIME_CHUNK = "FIRST TIME";
constexpr const char* EVERY_TIME_CHUNK = "EVERY TIME";

// The text run for one chunk: every device's Lua table, in list order, as the
// floor stands now, then the player's code. Each non-empty table text is one
// line, so line k of the code is line k + (devices with a table) of the text.
std::string assemble_program(Level& level, const std::string& code);
// The same into `program`, whose room is kept from frame to frame.
void assemble_program(Level& level, const std::string& code, std::string& program);

// Hands the engine's queued actions to the devices by name, in order: every
// device bearing the name receives it. An action for a name no device bears
// sets the engine's error "device not found: NAME" and drops it and the rest.
void parse_actions(Level& level, ScriptingEngine& engine);
// The same, taking the actions through `taken`, whose room is kept.
void parse_actions(Level& level, ScriptingEngine& engine, std::vector<Action>& taken);

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
    // Every run's engine gets `limits`.
    explicit Run(const ScriptLimits& limits = ScriptLimits());
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    // Starts a run on a new engine, which replaces any earlier run's: the
    // devices' tables and the initialization code run once under
    // "FIRST TIME". The actions they queue wait for the first frame. False,
    // with `error()` set, when the program failed; the level is untouched.
    bool start(Level& level, const std::string& init_code);

    // One simulation frame: the win test, then (unless it passed and `at_win`
    // says stop) the devices' tables and the every-cycle code under
    // "EVERY TIME", the queued actions handed to the devices, and one step
    // of the level. After a failure the caller shows the message, clears the
    // blocks and resets the level.
    FrameResult frame(Level& level, const std::string& cycle_code, AtWin at_win = AtWin::finish_frame);

    // The message of the last failure; empty after a success.
    const std::string& error() const { return error_; }

private:
    ScriptLimits limits_;
    std::unique_ptr<ScriptingEngine> engine_;
    std::string error_;
    // Reused by every frame.
    std::string program_;
    std::vector<Action> actions_;

    // Runs the devices' tables followed by `code` as one chunk.
    bool run_program(Level& level, const std::string& code, const char* chunk_name);
    // Copies the engine's message, if any; true when there was none.
    bool take_error();
};

#endif
