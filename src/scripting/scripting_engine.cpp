#include "scripting/scripting_engine.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "scripting/lua_sandbox.h"

ScriptingEngine* engine = nullptr;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int WATCH_INTERVAL = ScriptingEngine::WATCH_INTERVAL;
constexpr int WATCH_MASK = LUA_MASKCOUNT | LUA_MASKCALL;

int prepare_state(lua_State* L) {
    open_game_libraries(L);
    lua_pushstring(L, "action");
    lua_pushcclosure(L, l_push_action, 0);
    lua_settable(L, LUA_GLOBALSINDEX);
    return 0;
}

struct Chunk {
    const char* code;
    const char* name;
};

// Compiles and runs one chunk. Runs under lua_cpcall, so that turning a
// numeric error value into text cannot fail outside protected mode.
int run_chunk(lua_State* L) {
    const auto* chunk = static_cast<const Chunk*>(lua_touserdata(L, 1));
    int status = load_program_text(L, chunk->code, std::strlen(chunk->code), chunk->name);
    if (status == 0)
        status = lua_pcall(L, 0, 0, 0);
    if (status != 0 && lua_isstring(L, -1)) {
        lua_tostring(L, -1);
        return lua_error(L);
    }
    // An error value without a text form counts as success.
    return 0;
}

// The number at stack index i, truncated toward zero; NaN gives 0 and
// values beyond int are clamped.
int truncated_int(lua_State* L, int index) {
    lua_Number n = lua_tonumber(L, index);
    if (std::isnan(n))
        return 0;
    if (n >= static_cast<lua_Number>(INT_MAX))
        return INT_MAX;
    if (n <= static_cast<lua_Number>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(n);
}

// A text or number argument of `action` as text; anything else is refused,
// since the queue could not hold it.
const char* action_text(lua_State* L, int index, const char* what) {
    int type = lua_type(L, index);
    if (type != LUA_TSTRING && type != LUA_TNUMBER)
        luaL_error(L, "action: the %s must be a text, not %s", what, lua_typename(L, type));
    return lua_tostring(L, index);
}

// Takes the error message off the stack; only a string counts (converting
// anything else could itself fail outside protected mode).
std::optional<std::string> pop_message(lua_State* L) {
    std::optional<std::string> message;
    if (lua_type(L, -1) == LUA_TSTRING)
        message = lua_tostring(L, -1);
    lua_pop(L, 1);
    return message;
}

} // namespace

ScriptingEngine::ScriptingEngine(const ScriptLimits& limits) : limits_(limits) {
    lua = lua_newstate(allocate, this);
    if (!lua)
        throw std::bad_alloc();
    if (lua_cpcall(lua, prepare_state, nullptr) != 0)
        error = pop_message(lua);
    engine = this;
}

ScriptingEngine::~ScriptingEngine() {
    // First, so that nothing running during the close can reach this queue.
    if (engine == this)
        engine = nullptr;
    lua_close(lua);
}

void ScriptingEngine::run_code(const char* code, const char* chunk_name) {
    start_watch();
    Chunk chunk{code, chunk_name};
    error.reset();
    if (lua_cpcall(lua, run_chunk, &chunk) != 0) {
        error = pop_message(lua);
        // A stopped chunk can leave a heap of garbage behind (it may have
        // just filled the memory), and Lua never collects in an emergency.
        lua_gc(lua, LUA_GCCOLLECT, 0);
    }
}

void ScriptingEngine::push_action(const char* name, const char* verb, int arg) {
    action_names.emplace_back(name);
    action_verbs.emplace_back(verb);
    action_args.push_back(arg);
}

void ScriptingEngine::clear_actions() {
    action_names.clear();
    action_verbs.clear();
    action_args.clear();
}

std::vector<Action> ScriptingEngine::take_actions() {
    std::vector<Action> actions;
    actions.reserve(action_names.size());
    for (std::size_t i = 0; i < action_names.size(); ++i)
        actions.push_back({std::move(action_names[i]), std::move(action_verbs[i]), action_args[i]});
    clear_actions();
    return actions;
}

ScriptingEngine* ScriptingEngine::owner_of(lua_State* L) {
    void* owner = nullptr;
    lua_Alloc allocator = lua_getallocf(L, &owner);
    return allocator == allocate ? static_cast<ScriptingEngine*>(owner) : nullptr;
}

// Lua's allocator, refusing growth beyond the memory limit. Frees and
// shrinks always succeed, as Lua requires.
void* ScriptingEngine::allocate(void* ud, void* block, std::size_t old_size, std::size_t new_size) {
    auto* self = static_cast<ScriptingEngine*>(ud);
    if (new_size == 0) {
        std::free(block);
        self->memory_used_ -= old_size;
        return nullptr;
    }
    bool grows = new_size > old_size;
    if (grows && self->memory_used_ - old_size + new_size > self->limits_.memory)
        return nullptr;
    void* moved = std::realloc(block, new_size);
    if (!moved) {
        if (grows)
            return nullptr;
        moved = block;
    }
    self->memory_used_ = self->memory_used_ - old_size + new_size;
    return moved;
}

void ScriptingEngine::start_watch() {
    instructions_spent_ = 0;
    stop_message_.reset();
    deadline_ = Clock::now() + limits_.time;
    lua_sethook(lua, watch, WATCH_MASK, WATCH_INTERVAL);
}

bool ScriptingEngine::out_of_time() {
    if (!stop_message_ && instructions_spent_ >= limits_.instructions)
        stop_message_ = "program ran too long (more than " + std::to_string(limits_.instructions) +
                        " instructions); stopped";
    if (!stop_message_ && Clock::now() >= deadline_)
        stop_message_ = "program ran too long (more than " + std::to_string(limits_.time.count()) + " ms); stopped";
    return stop_message_.has_value();
}

// The hook on every call and every WATCH_INTERVAL instructions, in the main
// thread and in every coroutine (they inherit it).
void ScriptingEngine::watch(lua_State* L, lua_Debug* event) {
    ScriptingEngine* self = owner_of(L);
    if (event->event == LUA_HOOKCOUNT)
        self->instructions_spent_ += lua_gethookcount(L);
    if (!self->out_of_time()) {
        // A coroutine left over from a stopped chunk still checks every
        // instruction; back to the normal pace.
        if (lua_gethookcount(L) != WATCH_INTERVAL)
            lua_sethook(L, watch, WATCH_MASK, WATCH_INTERVAL);
        return;
    }
    // Where the program was: the running function for an instruction, the
    // caller for a call.
    self->stop(L, event->event == LUA_HOOKCOUNT ? 0 : 1);
}

void ScriptingEngine::charge_work(lua_State* L, long long steps) {
    instructions_spent_ += steps;
    if ((steps >= WATCH_INTERVAL || stop_message_) && out_of_time())
        stop(L, 1);
}

void ScriptingEngine::stop(lua_State* L, int level) {
    // From now on every instruction and call fails, here and in the main
    // thread, so a pcall in the program cannot catch the stop and go on.
    lua_sethook(L, watch, WATCH_MASK, 1);
    lua_sethook(lua, watch, WATCH_MASK, 1);
    luaL_where(L, level);
    lua_pushstring(L, stop_message_->c_str());
    lua_concat(L, 2);
    lua_error(L);
}

int l_push_action(lua_State* L) {
    // The last three arguments count, so a call with more uses its last three.
    if (lua_gettop(L) < 3)
        return luaL_error(L, "action needs three arguments (device name, verb, number), got %d", lua_gettop(L));
    int arg = truncated_int(L, -1);
    const char* verb = action_text(L, -2, "verb");
    const char* name = action_text(L, -3, "device name");
    if (!engine || ScriptingEngine::owner_of(L) != engine)
        return luaL_error(L, "action: this program's run has ended");
    engine->push_action(name, verb, arg);
    lua_pushnumber(L, 0);
    return 1;
}
