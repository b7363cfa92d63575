#include "scripting/scripting_engine.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <new>

#include "scripting/lua_sandbox.h"
#include "text/message_text.h"

ScriptingEngine* engine = nullptr;

namespace {

using Clock = std::chrono::steady_clock;

// The engine whose chunk is running against its deadline, for the signal
// that says the time is up.
std::atomic<ScriptingEngine*> hurried_engine{nullptr};

void on_deadline(int) {
    if (ScriptingEngine* running = hurried_engine.load())
        running->hurry();
}

// A timer that signals the thread that armed it when a chunk's time is up.
// One instruction can take milliseconds (a comparison of long texts), and
// the hook only looks at the clock every WATCH_INTERVAL of them; the signal
// makes the running thread look at its very next instruction.
class DeadlineTimer {
public:
    DeadlineTimer() {
        struct sigaction action = {};
        action.sa_handler = on_deadline;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(signal_number(), &action, nullptr);
        struct sigevent event = {};
        event.sigev_notify = SIGEV_THREAD_ID;
        event.sigev_signo = signal_number();
        // glibc 2.36 names the field only through its union.
        event._sigev_un._tid = static_cast<pid_t>(syscall(SYS_gettid));
        ready_ = timer_create(CLOCK_MONOTONIC, &event, &timer_) == 0;
    }
    ~DeadlineTimer() {
        if (ready_)
            timer_delete(timer_);
    }
    DeadlineTimer(const DeadlineTimer&) = delete;
    DeadlineTimer& operator=(const DeadlineTimer&) = delete;

    // Zero disarms.
    void arm(std::chrono::nanoseconds after) {
        if (!ready_)
            return;
        struct itimerspec when = {};
        when.it_value.tv_sec = static_cast<time_t>(after.count() / 1000000000);
        when.it_value.tv_nsec = static_cast<long>(after.count() % 1000000000);
        timer_settime(timer_, 0, &when, nullptr);
    }

private:
    timer_t timer_{};
    bool ready_ = false;

    // A real-time signal that neither SDL nor the C library uses.
    static int signal_number() { return SIGRTMIN + 4; }
};

DeadlineTimer& deadline_timer() {
    thread_local DeadlineTimer timer;
    return timer;
}

constexpr int WATCH_MASK = LUA_MASKCOUNT | LUA_MASKCALL;
// What a call costs in instructions: about the time it takes here.
constexpr long long CALL_COST = 16;
constexpr long long ALLOCATION_COST = 16;
constexpr long long FREE_COST = 4;
constexpr std::size_t ALLOCATED_BYTES_PER_STEP = 4;

// Runs under lua_cpcall with the engine's chunk cache as light user data.
int prepare_state(lua_State* L) {
    static_cast<ChunkCache*>(lua_touserdata(L, 1))->open(L);
    open_game_libraries(L);
    lua_pushstring(L, "action");
    lua_pushcclosure(L, l_push_action, 0);
    lua_settable(L, LUA_GLOBALSINDEX);
    return 0;
}

struct Chunk {
    std::string_view code;
    const char* name;
};

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
// since the queue could not hold it, and so is a text longer than any
// device name or verb.
std::string_view action_text(lua_State* L, int index, const char* what) {
    int type = lua_type(L, index);
    if (type != LUA_TSTRING && type != LUA_TNUMBER)
        luaL_error(L, "action: the %s must be a text, not %s", what, lua_typename(L, type));
    std::size_t length;
    const char* text = lua_tolstring(L, index, &length);
    if (length > ACTION_TEXT_MAX)
        luaL_error(L, "action: the %s is longer than %d characters", what, static_cast<int>(ACTION_TEXT_MAX));
    return {text, length};
}

// Takes the error message off the stack, made short enough to show; only a
// string counts (converting anything else could itself fail outside
// protected mode).
std::optional<std::string> pop_message(lua_State* L) {
    std::optional<std::string> message;
    if (lua_type(L, -1) == LUA_TSTRING) {
        std::size_t length;
        const char* text = lua_tolstring(L, -1, &length);
        message = shortened_message({text, length});
    }
    lua_pop(L, 1);
    return message;
}

} // namespace

ScriptingEngine::ScriptingEngine(const ScriptLimits& limits) : limits_(limits) {
    lua_ = lua_newstate(allocate, this);
    if (!lua_)
        throw std::bad_alloc();
    if (lua_cpcall(lua_, prepare_state, &chunks_) != 0)
        error_ = pop_message(lua_);
    engine = this;
}

ScriptingEngine::~ScriptingEngine() {
    // First, so that nothing running during the close can reach this queue.
    if (engine == this)
        engine = nullptr;
    if (hurried_engine == this)
        end_watch();
    lua_close(lua_);
}

void ScriptingEngine::run_code(std::string_view code, const char* chunk_name) {
    start_watch();
    Chunk chunk{code, chunk_name};
    error_.reset();
    if (lua_cpcall(lua_, run_chunk, &chunk) != 0) {
        error_ = pop_message(lua_);
        // A stopped chunk can leave a heap of garbage behind (it may have
        // just filled the memory), and Lua never collects in an emergency.
        lua_gc(lua_, LUA_GCCOLLECT, 0);
    }
    end_watch();
}

// Runs under lua_cpcall, so that turning a numeric error value into text
// cannot fail outside protected mode.
int ScriptingEngine::run_chunk(lua_State* L) {
    const auto* chunk = static_cast<const Chunk*>(lua_touserdata(L, 1));
    int status = owner_of(L)->load_chunk(L, chunk->code, chunk->name);
    if (status == 0)
        status = lua_pcall(L, 0, 0, 0);
    if (status != 0 && lua_isstring(L, -1)) {
        lua_tostring(L, -1);
        return lua_error(L);
    }
    // An error value without a text form counts as success.
    return 0;
}

int ScriptingEngine::load_chunk(lua_State* L, std::string_view code, const char* chunk_name) {
    long long kept_cost = chunks_.push_kept(L, code, chunk_name);
    if (kept_cost >= 0) {
        charge_work(L, kept_cost);
        return 0;
    }
    long long before = instructions_spent_;
    int status = load_program_text(L, code.data(), code.size(), chunk_name);
    if (status == 0)
        chunks_.keep(L, code, chunk_name, instructions_spent_ - before);
    return status;
}

void ScriptingEngine::push_action(const char* name, const char* verb, int arg) {
    push_action(std::string_view(name), std::string_view(verb), arg);
}

void ScriptingEngine::push_action(std::string_view name, std::string_view verb, int arg) {
    actions_.push_back({std::string(name), std::string(verb), arg});
}

void ScriptingEngine::write_output(std::FILE* stream, const char* text, std::size_t length) {
    std::size_t room = limits_.output - output_used_;
    std::size_t written = length < room ? length : room;
    std::fwrite(text, 1, written, stream);
    printed_.write(std::string_view(text, written));
    if (length <= room) {
        output_used_ += length;
        return;
    }
    if (output_used_ < limits_.output) {
        std::string notice = "\n[the program printed more than " + std::to_string(limits_.output) +
                             " bytes; the rest of this run's output is dropped]\n";
        std::fputs(notice.c_str(), stderr);
        printed_.write(notice);
    }
    output_used_ = limits_.output;
}

lua_State* ScriptingEngine::switch_thread(lua_State* thread) {
    lua_State* before = running_;
    running_ = thread;
    return before;
}

void ScriptingEngine::hurry() {
    lua_sethook(lua_, watch, WATCH_MASK, 1);
    if (lua_State* thread = running_)
        lua_sethook(thread, watch, WATCH_MASK, 1);
}

void ScriptingEngine::clear_actions() {
    actions_.clear();
}

std::vector<Action> ScriptingEngine::take_actions() {
    std::vector<Action> actions;
    take_actions(actions);
    return actions;
}

// Both lists keep their room for the next frame.
void ScriptingEngine::take_actions(std::vector<Action>& taken) {
    taken.clear();
    taken.swap(actions_);
}

ScriptingEngine* ScriptingEngine::owner_of(lua_State* L) {
    void* owner = nullptr;
    lua_Alloc allocator = lua_getallocf(L, &owner);
    return allocator == allocate ? static_cast<ScriptingEngine*>(owner) : nullptr;
}

// Lua's allocator, refusing growth beyond the memory limits. Frees and
// shrinks always succeed, as Lua requires. Every allocation is charged to
// the running chunk: making strings and tables (and the collector's work,
// which follows the allocations) costs far more than a plain instruction.
void* ScriptingEngine::allocate(void* ud, void* block, std::size_t old_size, std::size_t new_size) {
    auto* self = static_cast<ScriptingEngine*>(ud);
    if (new_size == 0) {
        std::free(block);
        self->memory_used_ -= old_size;
        self->instructions_spent_ += FREE_COST;
        return nullptr;
    }
    self->instructions_spent_ += ALLOCATION_COST + static_cast<long long>(new_size / ALLOCATED_BYTES_PER_STEP);
    bool grows = new_size > old_size;
    if (grows && (new_size > self->limits_.allocation ||
                  self->memory_used_ - old_size + new_size > self->limits_.memory))
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
    chunk_actions_ = 0;
    stop_message_.reset();
    running_ = lua_;
    deadline_ = Clock::now() + limits_.time;
    lua_sethook(lua_, watch, WATCH_MASK, WATCH_INTERVAL);
    hurried_engine = this;
    deadline_timer().arm(limits_.time);
}

void ScriptingEngine::end_watch() {
    deadline_timer().arm(std::chrono::nanoseconds(0));
    hurried_engine = nullptr;
}

bool ScriptingEngine::take_action_slot() {
    return ++chunk_actions_ <= limits_.actions_per_chunk;
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
    self->instructions_spent_ += event->event == LUA_HOOKCOUNT ? lua_gethookcount(L) : CALL_COST;
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
    lua_sethook(lua_, watch, WATCH_MASK, 1);
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
    std::string_view verb = action_text(L, -2, "verb");
    std::string_view name = action_text(L, -3, "device name");
    if (!engine || ScriptingEngine::owner_of(L) != engine)
        return luaL_error(L, "action: this program's run has ended");
    if (!engine->take_action_slot())
        return luaL_error(L, "action: more than %d actions in one run of the program",
                          engine->limits().actions_per_chunk);
    engine->push_action(name, verb, arg);
    lua_pushnumber(L, 0);
    return 1;
}
