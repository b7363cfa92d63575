// The player's program at run time: one Lua state per run of the simulation,
// the queue of actions the program asks of the devices, and the message of
// the last failure.
#ifndef GEARLOFT_SCRIPTING_SCRIPTING_ENGINE_H
#define GEARLOFT_SCRIPTING_SCRIPTING_ENGINE_H

#include <lua.hpp>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What one program may take before it is stopped. Instructions and time count
// per chunk run (a frame must never hang the game); memory counts for the
// whole Lua state.
// One request of the program to the devices: name, verb and number.
struct Action {
    std::string name;
    std::string verb;
    int arg;
};

struct ScriptLimits {
    long long instructions = 200000000;
    std::chrono::milliseconds time{1000};
    std::size_t memory = std::size_t{64} << 20;
};

class ScriptingEngine {
public:
    // The watch looks at the clock on every call and every WATCH_INTERVAL
    // instructions: often enough to stop a runaway loop in time, rarely
    // enough to cost nothing measurable.
    static constexpr int WATCH_INTERVAL = 1000;

    lua_State* lua = nullptr;
    // The queue: entry i of the three lists is the i-th action, in call order.
    std::vector<std::string> action_names;
    std::vector<std::string> action_verbs;
    std::vector<int> action_args;
    // Message of the last failure; empty after a successful run.
    std::optional<std::string> error;

    // Makes the Lua state with the game's libraries and `action`, and becomes
    // the engine that `action` queues on.
    explicit ScriptingEngine(const ScriptLimits& limits = ScriptLimits());
    ~ScriptingEngine();
    ScriptingEngine(const ScriptingEngine&) = delete;
    ScriptingEngine& operator=(const ScriptingEngine&) = delete;

    // Compiles program text as one chunk named `chunk_name` (Lua puts the name
    // and the line in its messages) and runs it; `error` tells how it went.
    void run_code(const char* code, const char* chunk_name);
    void push_action(const char* name, const char* verb, int arg);
    void clear_actions();
    // Hands over the queued actions in call order and empties the queue.
    std::vector<Action> take_actions();

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

private:
    ScriptLimits limits_;
    std::size_t memory_used_ = 0;
    long long instructions_spent_ = 0;
    std::chrono::steady_clock::time_point deadline_;
    // Set once the running chunk has used up its instructions or its time.
    std::optional<std::string> stop_message_;

    static void* allocate(void* ud, void* block, std::size_t old_size, std::size_t new_size);
    static void watch(lua_State* L, lua_Debug* event);
    void start_watch();
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
