#include "scripting/lua_safe_library.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "scripting/lua_format.h"
#include "scripting/work_meter.h"

namespace {

// What a full collection costs per KB in use, measured against instructions.
constexpr long long COLLECT_STEPS_PER_KB = 64;
// Moving one element of a table (a read and a write through Lua's API).
constexpr long long STEPS_PER_MOVE = 4;
// One piece of a text compared in the locale's order.
constexpr long long STEPS_PER_COMPARED_PIECE = 4;

// An integer argument as Lua 5.1 reads it (truncated toward zero), but
// clamped instead of wrapped: 2^53 or -inf can never turn into a small or
// negative count. NaN reads as 0.
long long clamped_integer(lua_State* L, int arg) {
    lua_Number n = luaL_checknumber(L, arg);
    if (std::isnan(n))
        return 0;
    constexpr lua_Number far = 9007199254740992.0; // 2^53
    return static_cast<long long>(n < -far ? -far : n > far ? far : n);
}

long long optional_integer(lua_State* L, int arg, long long fallback) {
    return lua_isnoneornil(L, arg) ? fallback : clamped_integer(L, arg);
}

int to_int(long long n) {
    return static_cast<int>(n < INT_MIN ? INT_MIN : n > INT_MAX ? INT_MAX : n);
}

// t[key] and t[key] = top, for keys beyond what rawgeti takes.
void raw_get(lua_State* L, int table, long long key) {
    if (key >= INT_MIN && key <= INT_MAX) {
        lua_rawgeti(L, table, static_cast<int>(key));
        return;
    }
    lua_pushnumber(L, static_cast<lua_Number>(key));
    lua_rawget(L, table);
}

void raw_set(lua_State* L, int table, long long key) {
    if (key >= INT_MIN && key <= INT_MAX) {
        lua_rawseti(L, table, static_cast<int>(key));
        return;
    }
    lua_pushnumber(L, static_cast<lua_Number>(key));
    lua_insert(L, -2);
    lua_rawset(L, table);
}

long long table_length(lua_State* L, int arg) {
    luaL_checktype(L, arg, LUA_TTABLE);
    return static_cast<long long>(lua_objlen(L, arg));
}

// unpack(t [, i [, j]]): Lua's counts the elements in an int, so a wide
// range wraps around and writes past the stack.
int checked_unpack(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    long long first = optional_integer(L, 2, 1);
    long long last = lua_isnoneornil(L, 3) ? table_length(L, 1) : clamped_integer(L, 3);
    if (first > last)
        return 0;
    long long count = last - first + 1;
    if (count >= INT_MAX || !lua_checkstack(L, static_cast<int>(count)))
        return luaL_error(L, "too many results to unpack");
    charge_steps(L, count);
    for (long long i = first; i <= last; ++i)
        raw_get(L, 1, i);
    return static_cast<int>(count);
}

// table.insert(t, [pos,] value): moving the elements up costs a step each,
// so an insert far below the end (at -2^31) is stopped by the budget
// instead of running for minutes.
int checked_insert(lua_State* L) {
    long long end = table_length(L, 1) + 1;
    long long position = end;
    switch (lua_gettop(L)) {
    case 2: break;
    case 3:
        position = clamped_integer(L, 2);
        if (position > end)
            end = position;
        charge_steps(L, (end - position) * STEPS_PER_MOVE);
        for (long long i = end; i > position; --i) {
            raw_get(L, 1, i - 1);
            raw_set(L, 1, i);
        }
        break;
    default: return luaL_error(L, "wrong number of arguments to 'insert'");
    }
    raw_set(L, 1, position);
    return 0;
}

int checked_remove(lua_State* L) {
    long long end = table_length(L, 1);
    long long position = optional_integer(L, 2, end);
    if (position < 1 || position > end)
        return 0;
    charge_steps(L, (end - position) * STEPS_PER_MOVE);
    raw_get(L, 1, position);
    for (; position < end; ++position) {
        raw_get(L, 1, position + 1);
        raw_set(L, 1, position);
    }
    lua_pushnil(L);
    raw_set(L, 1, end);
    return 1;
}

// table.concat(t [, sep [, i [, j]]]): every piece is charged by its length.
int checked_concat(lua_State* L) {
    std::size_t separator_length;
    const char* separator = luaL_optlstring(L, 2, "", &separator_length);
    luaL_checktype(L, 1, LUA_TTABLE);
    long long i = optional_integer(L, 3, 1);
    long long last = lua_isnoneornil(L, 4) ? table_length(L, 1) : clamped_integer(L, 4);
    WorkMeter meter(L);
    luaL_Buffer result;
    luaL_buffinit(L, &result);
    for (; i <= last; ++i) {
        raw_get(L, 1, i);
        if (!lua_isstring(L, -1))
            return luaL_error(L, "invalid value (%s) at index %d in table for 'concat'", luaL_typename(L, -1),
                              to_int(i));
        meter.add(1 + static_cast<long long>((lua_objlen(L, -1) + separator_length) / BYTES_PER_STEP));
        luaL_addvalue(&result);
        if (i < last)
            luaL_addlstring(&result, separator, separator_length);
    }
    meter.settle();
    luaL_pushresult(&result);
    return 1;
}

// The longest text one allocation may take.
std::size_t longest_text(lua_State* L) {
    ScriptingEngine* engine = ScriptingEngine::owner_of(L);
    return (engine ? engine->limits() : ScriptLimits()).allocation;
}

// string.rep(s, n): the size is known before any work; the copy doubles. A
// text longer than one allocation may take is not made: asking Lua for that
// much room gives Lua's own memory error.
int checked_rep(lua_State* L) {
    std::size_t length;
    const char* text = luaL_checklstring(L, 1, &length);
    long long count = clamped_integer(L, 2);
    if (length == 0 || count <= 0) {
        lua_pushliteral(L, "");
        return 1;
    }
    std::size_t most = longest_text(L);
    std::size_t total = static_cast<unsigned long long>(count) > most / length
                            ? most + 1
                            : length * static_cast<std::size_t>(count);
    if (total > most)
        lua_newuserdata(L, total);
    charge_steps(L, static_cast<long long>(total / BYTES_PER_STEP));
    // Room kept from call to call: a long text's room would otherwise come
    // from the system and go back to it every time.
    thread_local std::string copy;
    copy.resize(total);
    std::memcpy(copy.data(), text, length);
    for (std::size_t done = length; done < total; done *= 2)
        std::memcpy(copy.data() + done, copy.data(), done < total - done ? done : total - done);
    lua_pushlstring(L, copy.data(), total);
    return 1;
}

// A position in a text of `length` bytes as Lua 5.1's string functions read
// it: negative ones count from the end, and what lies before the start is 0.
long long text_position(long long position, std::size_t length) {
    if (position < 0)
        position += static_cast<long long>(length) + 1;
    return position < 0 ? 0 : position;
}

// string.byte(s [, i [, j]]): every code it gives back is a step.
int charged_byte(lua_State* L) {
    std::size_t length;
    const char* text = luaL_checklstring(L, 1, &length);
    long long first = text_position(optional_integer(L, 2, 1), length);
    long long last = text_position(optional_integer(L, 3, first), length);
    if (first <= 0)
        first = 1;
    if (last > static_cast<long long>(length))
        last = static_cast<long long>(length);
    if (first > last)
        return 0;
    long long count = last - first + 1;
    luaL_checkstack(L, to_int(count), "string slice too long");
    charge_steps(L, count);
    for (long long i = first; i <= last; ++i)
        lua_pushinteger(L, static_cast<unsigned char>(text[i - 1]));
    return static_cast<int>(count);
}

// Lua 5.1's string order (strcoll on each zero-separated piece), with the
// work charged to the meter: pieces count as steps, long texts by length.
int compare_texts(const char* a, std::size_t a_length, const char* b, std::size_t b_length, WorkMeter& meter) {
    for (;;) {
        meter.add(STEPS_PER_COMPARED_PIECE);
        int order = std::strcoll(a, b);
        if (order != 0)
            return order;
        std::size_t piece = std::strlen(a);
        meter.add(static_cast<long long>(piece / BYTES_PER_STEP));
        if (piece == b_length)
            return piece == a_length ? 0 : 1;
        if (piece == a_length)
            return -1;
        ++piece;
        a += piece;
        a_length -= piece;
        b += piece;
        b_length -= piece;
    }
}


// Lua 5.1's order for strings, element by element through a comparison
// function or by `<`; strings are compared here so that the work is charged.
bool sort_less(lua_State* L, WorkMeter& meter, int a, int b) {
    meter.add(1);
    if (!lua_isnil(L, 2)) {
        lua_pushvalue(L, 2);
        lua_pushvalue(L, a - 1);
        lua_pushvalue(L, b - 2);
        lua_call(L, 2, 1);
        bool less = lua_toboolean(L, -1);
        lua_pop(L, 1);
        return less;
    }
    if (lua_type(L, a) == LUA_TSTRING && lua_type(L, b) == LUA_TSTRING) {
        std::size_t a_length, b_length;
        const char* a_text = lua_tolstring(L, a, &a_length);
        const char* b_text = lua_tolstring(L, b, &b_length);
        return compare_texts(a_text, a_length, b_text, b_length, meter) < 0;
    }
    return lua_lessthan(L, a, b);
}

void swap_into(lua_State* L, int i, int j) {
    lua_rawseti(L, 1, i);
    lua_rawseti(L, 1, j);
}

// Lua 5.1's quicksort, step for step, so that equal elements and
// inconsistent order functions come out as with Lua's own.
void sort_range(lua_State* L, WorkMeter& meter, int lo, int up) {
    while (lo < up) {
        lua_rawgeti(L, 1, lo);
        lua_rawgeti(L, 1, up);
        if (sort_less(L, meter, -1, -2))
            swap_into(L, lo, up);
        else
            lua_pop(L, 2);
        if (up - lo == 1)
            break;
        int i = lo + (up - lo) / 2;
        lua_rawgeti(L, 1, i);
        lua_rawgeti(L, 1, lo);
        if (sort_less(L, meter, -2, -1)) {
            swap_into(L, i, lo);
        } else {
            lua_pop(L, 1);
            lua_rawgeti(L, 1, up);
            if (sort_less(L, meter, -1, -2))
                swap_into(L, i, up);
            else
                lua_pop(L, 2);
        }
        if (up - lo == 2)
            break;
        lua_rawgeti(L, 1, i);
        lua_pushvalue(L, -1);
        lua_rawgeti(L, 1, up - 1);
        swap_into(L, i, up - 1);
        i = lo;
        int j = up - 1;
        for (;;) {
            while (lua_rawgeti(L, 1, ++i), sort_less(L, meter, -1, -2)) {
                if (i > up)
                    luaL_error(L, "invalid order function for sorting");
                lua_pop(L, 1);
            }
            while (lua_rawgeti(L, 1, --j), sort_less(L, meter, -3, -1)) {
                if (j < lo)
                    luaL_error(L, "invalid order function for sorting");
                lua_pop(L, 1);
            }
            if (j < i) {
                lua_pop(L, 3);
                break;
            }
            swap_into(L, i, j);
        }
        lua_rawgeti(L, 1, up - 1);
        lua_rawgeti(L, 1, i);
        swap_into(L, up - 1, i);
        if (i - lo < up - i) {
            j = lo;
            i = i - 1;
            lo = i + 2;
        } else {
            j = i + 1;
            i = up;
            up = j - 2;
        }
        sort_range(L, meter, j, i);
    }
}

int checked_sort(lua_State* L) {
    // Room for the index arithmetic above the last element.
    long long length = table_length(L, 1);
    int n = static_cast<int>(length < INT_MAX - 2 ? length : INT_MAX - 2);
    luaL_checkstack(L, 40, "");
    if (!lua_isnoneornil(L, 2))
        luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_settop(L, 2);
    WorkMeter meter(L);
    sort_range(L, meter, 1, n);
    meter.settle();
    return 0;
}

// Each run's own random numbers: the generator behind Lua 5.1's
// math.random (the C library's rand(), the same numbers for the same seed),
// with its state in the run's Lua state. Every run starts it from the seed
// a fresh program has, 1, and math.randomseed reseeds only that run's.
struct RandomState {
    random_data data;
    char numbers[128];
};

RandomState& random_state(lua_State* L) {
    return *static_cast<RandomState*>(lua_touserdata(L, lua_upvalueindex(1)));
}

// Pushes a fresh generator, seeded as a program starts.
void push_random_state(lua_State* L) {
    auto* state = static_cast<RandomState*>(lua_newuserdata(L, sizeof(RandomState)));
    std::memset(state, 0, sizeof *state);
    initstate_r(1, state->numbers, sizeof state->numbers, &state->data);
}

// math.random([m [, n]]): Lua's computes n - m + 1 in an int. Upvalue 1 is
// the run's generator.
int checked_random(lua_State* L) {
    std::int32_t drawn = 0;
    random_r(&random_state(L).data, &drawn);
    lua_Number r = static_cast<lua_Number>(drawn % RAND_MAX) / static_cast<lua_Number>(RAND_MAX);
    switch (lua_gettop(L)) {
    case 0: lua_pushnumber(L, r); break;
    case 1: {
        lua_Number up = to_int(clamped_integer(L, 1));
        luaL_argcheck(L, 1 <= up, 1, "interval is empty");
        lua_pushnumber(L, std::floor(r * up) + 1);
        break;
    }
    case 2: {
        lua_Number low = to_int(clamped_integer(L, 1));
        lua_Number up = to_int(clamped_integer(L, 2));
        luaL_argcheck(L, low <= up, 2, "interval is empty");
        lua_pushnumber(L, std::floor(r * (up - low + 1)) + low);
        break;
    }
    default: return luaL_error(L, "wrong number of arguments");
    }
    return 1;
}

// math.randomseed(x): as Lua 5.1 hands x to srand, its low 32 bits count.
int checked_randomseed(lua_State* L) {
    auto seed = static_cast<unsigned>(static_cast<unsigned long long>(clamped_integer(L, 1)));
    srandom_r(seed, &random_state(L).data);
    return 0;
}

// table.maxn(t): every key looked at is a step.
int charged_maxn(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    WorkMeter meter(L);
    lua_Number most = 0;
    lua_pushnil(L);
    while (lua_next(L, 1) != 0) {
        meter.add(1);
        lua_pop(L, 1);
        if (lua_type(L, -1) == LUA_TNUMBER && lua_tonumber(L, -1) > most)
            most = lua_tonumber(L, -1);
    }
    meter.settle();
    lua_pushnumber(L, most);
    return 1;
}

// collectgarbage([option [, arg]]): a collection costs by the memory in use,
// and the collector's pace stays where every allocation stays cheap.
int charged_collectgarbage(lua_State* L) {
    static const char* const options[] = {"stop", "restart", "collect", "count", "step", "setpause", "setstepmul",
                                          nullptr};
    static const int what[] = {LUA_GCSTOP,  LUA_GCRESTART, LUA_GCCOLLECT,   LUA_GCCOUNT,
                               LUA_GCSTEP, LUA_GCSETPAUSE, LUA_GCSETSTEPMUL};
    int option = what[luaL_checkoption(L, 1, "collect", options)];
    long long argument = optional_integer(L, 2, 0);
    if (option == LUA_GCSETPAUSE || option == LUA_GCSETSTEPMUL)
        argument = argument < 100 ? 100 : argument > 1000 ? 1000 : argument;
    if (option == LUA_GCCOLLECT || option == LUA_GCSTEP)
        charge_steps(L, static_cast<long long>(lua_gc(L, LUA_GCCOUNT, 0)) * COLLECT_STEPS_PER_KB);
    int result = lua_gc(L, option, to_int(argument));
    if (option == LUA_GCCOUNT)
        lua_pushnumber(L, result + static_cast<lua_Number>(lua_gc(L, LUA_GCCOUNTB, 0)) / 1024);
    else if (option == LUA_GCSTEP)
        lua_pushboolean(L, result);
    else
        lua_pushnumber(L, result);
    return 1;
}

// Tells the engine which thread runs while a coroutine is resumed, so that
// the deadline can interrupt it; restores the resumer afterwards, also when
// an error unwinds.
class RunningThread {
public:
    RunningThread(lua_State* L, lua_State* thread) : engine_(ScriptingEngine::owner_of(L)) {
        if (engine_)
            resumer_ = engine_->switch_thread(thread);
    }
    ~RunningThread() {
        if (engine_)
            engine_->switch_thread(resumer_);
    }
    RunningThread(const RunningThread&) = delete;
    RunningThread& operator=(const RunningThread&) = delete;

private:
    ScriptingEngine* engine_;
    lua_State* resumer_ = nullptr;
};

// coroutine.resume(co, ...); upvalue 1 is Lua's own.
int tracked_resume(lua_State* L) {
    lua_State* thread = lua_tothread(L, 1);
    luaL_argcheck(L, thread, 1, "coroutine expected");
    RunningThread running(L, thread);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    // The values the coroutine handed over were copied from its stack; a
    // failure was an error caught.
    charge_steps(L, lua_gettop(L) / VALUES_PER_STEP + (lua_toboolean(L, 1) ? 0 : CAUGHT_ERROR_COST));
    return lua_gettop(L);
}

// The function made by coroutine.wrap: upvalues are the coroutine and the
// tracked resume. Errors travel on as with Lua's own, with the caller's place.
int call_wrapped(lua_State* L) {
    lua_pushvalue(L, lua_upvalueindex(2));
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    if (!lua_toboolean(L, 1)) {
        lua_settop(L, 2);
        if (lua_isstring(L, -1)) {
            luaL_where(L, 1);
            lua_insert(L, -2);
            lua_concat(L, 2);
        }
        return lua_error(L);
    }
    return lua_gettop(L) - 1;
}

// coroutine.wrap(f); upvalue 1 is the tracked resume.
int tracked_wrap(lua_State* L) {
    luaL_argcheck(L, lua_isfunction(L, 1) && !lua_iscfunction(L, 1), 1, "Lua function expected");
    lua_State* thread = lua_newthread(L);
    lua_pushvalue(L, 1);
    lua_xmove(L, thread, 1);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_pushcclosure(L, call_wrapped, 2);
    return 1;
}

// Replaces table[name] (table on top of the stack) with f, giving f the old
// value as its upvalue when `keep_old`.
void replace_field(lua_State* L, const char* name, lua_CFunction f, bool keep_old) {
    if (keep_old) {
        lua_getfield(L, -1, name);
        lua_pushcclosure(L, f, 1);
    } else {
        lua_pushcfunction(L, f);
    }
    lua_setfield(L, -2, name);
}

void replace_in(lua_State* L, const char* table, std::initializer_list<luaL_Reg> functions) {
    lua_getglobal(L, table);
    for (const luaL_Reg& function : functions)
        replace_field(L, function.name, function.func, false);
    lua_pop(L, 1);
}

} // namespace

void install_safe_library(lua_State* L) {
    lua_pushcfunction(L, checked_unpack);
    lua_setglobal(L, "unpack");
    lua_pushcfunction(L, charged_collectgarbage);
    lua_setglobal(L, "collectgarbage");
    replace_in(L, "table",
               {{"insert", checked_insert}, {"remove", checked_remove}, {"sort", checked_sort},
                {"concat", checked_concat}, {"maxn", charged_maxn}});
    replace_in(L, "string", {{"rep", checked_rep}, {"byte", charged_byte}, {"format", metered_format}});
    lua_getglobal(L, "math");
    push_random_state(L);
    for (const luaL_Reg& function : {luaL_Reg{"random", checked_random}, luaL_Reg{"randomseed", checked_randomseed}}) {
        lua_pushvalue(L, -1);
        lua_pushcclosure(L, function.func, 1);
        lua_setfield(L, -3, function.name);
    }
    lua_pop(L, 2);
    lua_getglobal(L, "coroutine");
    replace_field(L, "resume", tracked_resume, true);
    lua_getfield(L, -1, "resume");
    lua_pushcclosure(L, tracked_wrap, 1);
    lua_setfield(L, -2, "wrap");
    lua_pop(L, 1);
}
