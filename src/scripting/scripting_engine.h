// The player's program at run time: one Lua state per run of the simulation,
// the queue of actions the program asks of the devices, and the message of
// the last failure.
#ifndef GEARLOFT_SCRIPTING_SCRIPTING_ENGINE_H
#define GEARLOFT_SCRIPTING_SCRIPTING_ENGINE_H

#include <lua.hpp>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scripting/chunk_cache.h"
#include "scripting/output_tail.h"

// What one program may take before it is stopped. Instructions count per
// chunk run and decide, so that a program ends the same way on every
// machine: a runaway chunk stops after about 0.1 s here. Library work is
// charged as instructions too. The time is only a backstop for work that
// nothing can charge; at its end the program stops at its next instruction.
// Memory and output count for the whole run (the Lua state).

// One request of the program to the devices: name, verb and number.
struct Action {
    std::string name;
    std::string verb;
    int arg;
};

struct ScriptLimits {
    long long instructions = 40000000;
    std::chrono::milliseconds time{700};
    std::size_t memory = std::size_t{64} << 20;
    // No single string or table part may be larger, so that no single
    // instruction (a comparison, a copy) can take long.
    std::size_t allocation = std::size_t{8} << 20;
    // Bytes of print and io.write; later output is dropped after one notice.
    std::size_t output = 64 << 10;
    int actions_per_chunk = 10000;
};

// Longest device name or verb an action may carry (device names are at
// most 31 characters).
constexpr std::size_t ACTION_TEXT_MAX = 31;

class ScriptingEngine {
public:
    // The watch looks at the clock on every call and every WATCH_INTERVAL
    // instructions: often enough to stop a runaway loop in time, rarely
    // enough to cost nothing measurable.
    static constexpr int WATCH_INTERVAL = 1000;

    // Makes the Lua state with the game's libraries and `action`, and becomes
    // the engine that `action` queues on.
    explicit ScriptingEngine(const ScriptLimits& limits = ScriptLimits());
    ~ScriptingEngine();
    ScriptingEngine(const ScriptingEngine&) = delete;
    ScriptingEngine& operator=(const ScriptingEngine&) = delete;

    // Compiles program text as one chunk named `chunk_name` (Lua puts the name
    // and the line in its messages) and runs it; `error` tells how it went.
    // A text run lately under the same name is not compiled again, but its
    // compiling is charged again, so a run costs the same either way.
    // Every byte counts, zero bytes included.
    void run_code(std::string_view code, const char* chunk_name);
    // Message of the last failure; none after a successful run.
    const std::optional<std::string>& error() const { return error_; }
    // The Lua state, for looking at what a program left behind.
    lua_State* state() const { return lua_; }

    void push_action(const char* name, const char* verb, int arg);
    // Names and verbs are kept byte for byte, zero bytes included.
    void push_action(std::string_view name, std::string_view verb, int arg);
    void clear_actions();
    // The queued actions, in call order.
    const std::vector<Action>& queued_actions() const { return actions_; }
    // Hands over the queued actions in call order and empties the queue.
    std::vector<Action> take_actions();
    // The same into `taken`, which loses what it held but keeps its room.
    void take_actions(std::vector<Action>& taken);
    const ScriptLimits& limits() const { return limits_; }

    // The engine that made the Lua state L belongs to (L may be a coroutine of
    // it); null for a state no engine made.
    static ScriptingEngine* owner_of(lua_State* L);

    // Charges work done inside one library call (a pattern search) to the
    // running chunk as instructions, since no hook fires there. Charged in
    // pieces of WATCH_INTERVAL or more, it is watched like instructions:
    // once the chunk's instructions or time are used up, the chunk stops as
    // by the hook, with the caller of the library function as the place
    // named. Smaller pieces are only counted, for the next look to see.
    void charge_work(lua_State* L, long long steps);

    // Program output (print, io.write) within the run's output budget.
    void write_output(std::FILE* stream, const char* text, std::size_t length);
    // The last lines of that output, for the game's console.
    const OutputTail& printed() const { return printed_; }

    // The coroutine functions say which thread runs, so that the deadline
    // can reach it; returns the thread that ran before.
    lua_State* switch_thread(lua_State* thread);

    // Called when the running chunk's time is up, possibly from a signal
    // handler: makes the running thread look at the clock at its very next
    // instruction.
    void hurry();

    // Counts one more action of the running chunk; false when it has used
    // up its actions.
    bool take_action_slot();

private:
    lua_State* lua_ = nullptr;
    std::vector<Action> actions_;
    std::optional<std::string> error_;
    ScriptLimits limits_;
    std::size_t memory_used_ = 0;
    std::size_t output_used_ = 0;
    OutputTail printed_;
    long long instructions_spent_ = 0;
    int chunk_actions_ = 0;
    // Read by the deadline signal's handler.
    lua_State* volatile running_ = nullptr;
    std::chrono::steady_clock::time_point deadline_;
    // Set once the running chunk has used up its instructions or its time.
    std::optional<std::string> stop_message_;
    ChunkCache chunks_;

    static void* allocate(void* ud, void* block, std::size_t old_size, std::size_t new_size);
    // Compiles and runs the chunk handed over as light user data.
    static int run_chunk(lua_State* L);
    // Pushes the function of program text, kept or compiled (status 0), or
    // Lua's message (Lua's status).
    int load_chunk(lua_State* L, std::string_view code, const char* chunk_name);
    static void watch(lua_State* L, lua_Debug* event);
    void start_watch();
    void end_watch();
    bool out_of_time();
    // Raises the stop message, prefixed with the place of the function at
    // call level `level`, and makes every later instruction and call fail.
    void stop(lua_State* L, int level);
};

// The engine of the current run, or null; the Lua function `action` queues
// on it.
extern ScriptingEngine* engine;

// The Lua function `action(name, verb, n)`: queues one action and returns 0.
int l_push_action(lua_State* L);

#endif
