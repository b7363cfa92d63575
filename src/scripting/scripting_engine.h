// The player's program at run time: one Lua state per run of the simulation,
// the queue of actions the program asks of the devices, and the message of
// the last failure.
#ifndef GEARLOFT_SCRIPTING_SCRIPTING_ENGINE_H
#define GEARLOFT_SCRIPTING_SCRIPTING_ENGINE_H

#include <lua.hpp>

#include <chrono>
#include <csignal>
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
// machine and under any load: a runaway chunk stops after about 0.1 s here.
// Library work, calls with their arguments, compiling and allocations are
// charged as instructions too. The time is only a backstop for work that no
// hook sees (one comparison of long texts, one crowded table look-up): it
// counts the processor time of the running thread, not the clock on the
// wall, and at its end the program stops at its next instruction. Memory
// and output count for the whole run (the Lua state).

// One request of the program to the devices: name, verb and number.
struct Action {
    std::string name;
    std::string verb;
    int arg;
};

struct ScriptLimits {
    long long instructions = 40000000;
    // Processor time of one chunk run.
    std::chrono::milliseconds time{700};
    // Off only where a test or a measurement shows that the budget decides
    // alone.
    enum class Backstop { on, off } backstop = Backstop::on;
    std::size_t memory = std::size_t{64} << 20;
    // No single text, table part or stack may be larger: one instruction
    // works through at most one of them (a comparison, a copy, a table
    // growing, where Lua's hash chains can make the work grow with the
    // square of the keys: a hash part of 1024 keys fits, one of 2048 does
    // not), so that none can take long. A text of exactly this many bytes
    // still fits.
    std::size_t allocation = std::size_t{64} << 10;
    // Bytes of print and io.write; later output is dropped after one notice.
    std::size_t output = 64 << 10;
    int actions_per_chunk = 10000;
};

// Longest device name or verb an action may carry (device names are at
// most 31 characters).
constexpr std::size_t ACTION_TEXT_MAX = 31;

class ScriptingEngine {
public:
    // The watch looks at the limits on every call and every WATCH_INTERVAL
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
    // The engine whose chunk runs now on this thread's watch, or null.
    static ScriptingEngine* running();

    // Charges work done inside one library call (a pattern search) to the
    // running chunk as instructions, since no hook fires there. Charged in
    // pieces of WATCH_INTERVAL or more, it is watched like instructions:
    // once the chunk's instructions or time are used up, the chunk stops as
    // by the hook, with the caller of the library function as the place
    // named. Smaller pieces are only counted, for the next look to see.
    void charge_work(lua_State* L, long long steps);

    // Charges work done inside one instruction of the running chunk, where
    // no error may be raised (lua_libc_work.h): once the budget is used up,
    // the chunk stops at its next instruction.
    void charge_inside_instruction(long long steps);

    // Program output (print, io.write) within the run's output budget.
    void write_output(std::FILE* stream, const char* text, std::size_t length);
    // The last lines of that output, for the game's console.
    const OutputTail& printed() const { return printed_; }

    // The coroutine functions say which thread runs, so that the deadline
    // can reach it; returns the thread that ran before.
    lua_State* switch_thread(lua_State* thread);

    // Called when the running chunk's time is up, from a signal handler:
    // the running thread stops at its very next instruction.
    void hurry();

    // A text holding "..." was compiled: from now on this run may copy
    // varargs, which one instruction does for all of them at once, and only
    // a look at every instruction sees how many.
    void watch_every_instruction();

    // Counts one more action of the running chunk; false when it has used
    // up its actions.
    bool take_action_slot();

    // Instructions charged to the running or the last chunk.
    long long instructions_spent() const { return instructions_spent_; }
    // Called at every look at the limits, the points where a running chunk
    // can be stopped; for measuring how long the stretches between them get.
    void set_check_listener(void (*listener)()) { check_listener_ = listener; }

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
    // Instructions between two looks of the hook: WATCH_INTERVAL, or 1 once
    // the run may copy varargs.
    int pace_ = WATCH_INTERVAL;
    // Read and set by the deadline signal's handler.
    lua_State* volatile running_ = nullptr;
    volatile std::sig_atomic_t time_up_ = 0;
    // Processor time of the running thread at which the chunk's time is up,
    // for when the timer cannot be had.
    std::chrono::nanoseconds deadline_{};
    // Set once the running chunk has used up its instructions or its time.
    std::optional<std::string> stop_message_;
    ChunkCache chunks_;
    void (*check_listener_)() = nullptr;

    static void* allocate(void* ud, void* block, std::size_t old_size, std::size_t new_size);
    // Compiles and runs the chunk handed over as light user data.
    static int run_chunk(lua_State* L);
    // Pushes the function of program text, kept or compiled (status 0), or
    // Lua's message (Lua's status).
    int load_chunk(lua_State* L, std::string_view code, const char* chunk_name);
    static void watch(lua_State* L, lua_Debug* event);
    // What the hook's event cost: the instructions since the last one, or a
    // call with the values it sees on the stack.
    long long event_cost(lua_State* L, const lua_Debug* event) const;
    void start_watch();
    void end_watch();
    bool out_of_time();
    bool time_is_up() const;
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
