// Charges the work of one library call to the running chunk's budget, since
// no hook fires inside a C function: a long copy, search or sort then stops
// like a long loop, and ends the same way on every machine.
#ifndef GEARLOFT_SCRIPTING_WORK_METER_H
#define GEARLOFT_SCRIPTING_WORK_METER_H

#include <lua.hpp>

#include <cstddef>

#include "scripting/scripting_engine.h"

// Copying or comparing this many bytes counts as one step (one instruction);
// a loop that looks at each byte by itself costs a step for fewer.
constexpr std::size_t BYTES_PER_STEP = 16;
constexpr std::size_t SCANNED_BYTES_PER_STEP = 4;
// Copying this many values from one stack slot to another (arguments,
// results, varargs) counts as a step.
constexpr int VALUES_PER_STEP = 4;
// Raising an error and catching it again (pcall, xpcall, a coroutine's
// failure, a text that does not compile) unwinds the stack, which takes as
// long as about a thousand instructions.
constexpr long long CAUGHT_ERROR_COST = 1000;

// Steps are charged in batches as large as the engine watches; a state no
// engine made has no budget.
class WorkMeter {
public:
    explicit WorkMeter(lua_State* L) : L_(L), engine_(ScriptingEngine::owner_of(L)) {}

    void add(long long steps) {
        pending_ += steps;
        if (pending_ >= ScriptingEngine::WATCH_INTERVAL)
            settle();
    }
    void add_bytes(std::size_t bytes) { add(static_cast<long long>(bytes / BYTES_PER_STEP)); }
    void add_scanned(std::size_t bytes) { add(static_cast<long long>(bytes / SCANNED_BYTES_PER_STEP)); }

    // Charges what is still pending (at the end of the call).
    void settle() {
        if (engine_ && pending_ > 0)
            engine_->charge_work(L_, pending_);
        pending_ = 0;
    }

private:
    lua_State* L_;
    ScriptingEngine* engine_;
    long long pending_ = 0;
};

// Charges a known amount of work at once.
inline void charge_steps(lua_State* L, long long steps) {
    WorkMeter meter(L);
    meter.add(steps);
    meter.settle();
}

#endif
