#include "scripting/lua_output.h"

#include <cstdio>
#include <cstring>

#include "scripting/lua_sandbox.h"
#include "scripting/scripting_engine.h"
#include "scripting/work_meter.h"

namespace {

// Upvalues of every function here: the stdout and the stderr look-alike.
constexpr int STDOUT_HANDLE = 1;
constexpr int STDERR_HANDLE = 2;

void write_out(lua_State* L, std::FILE* stream, const char* text, std::size_t length) {
    if (ScriptingEngine* engine = ScriptingEngine::owner_of(L))
        engine->write_output(stream, text, length);
}

bool is_handle(lua_State* L, int index, int handle) {
    return lua_rawequal(L, index, lua_upvalueindex(handle)) != 0;
}

// Writes the arguments from `first` on as Lua 5.1's write does: numbers in
// Lua's own format (the argument's text form), strings as they are, anything
// else refused.
int write_arguments(lua_State* L, std::FILE* stream, int first) {
    for (int arg = first; arg <= lua_gettop(L); ++arg) {
        std::size_t length;
        const char* text = luaL_checklstring(L, arg, &length);
        write_out(L, stream, text, length);
    }
    lua_pushboolean(L, 1);
    return 1;
}

int io_write(lua_State* L) {
    return write_arguments(L, stdout, 1);
}

// handle:write(...) on either look-alike.
int handle_write(lua_State* L) {
    bool to_stderr = is_handle(L, 1, STDERR_HANDLE);
    luaL_argcheck(L, to_stderr || is_handle(L, 1, STDOUT_HANDLE), 1, "file expected");
    return write_arguments(L, to_stderr ? stderr : stdout, 2);
}

// Nothing is held back: flushing has nothing to do.
int flush(lua_State* L) {
    lua_pushboolean(L, 1);
    return 1;
}

int io_type(lua_State* L) {
    luaL_checkany(L, 1);
    if (is_handle(L, 1, STDOUT_HANDLE) || is_handle(L, 1, STDERR_HANDLE))
        lua_pushliteral(L, "file");
    else
        lua_pushnil(L);
    return 1;
}

// Lua 5.1's print: each argument through the global tostring, tabs between,
// each text up to its first zero byte. Looking for that zero is charged,
// also once the output budget is spent.
int print(lua_State* L) {
    int count = lua_gettop(L);
    lua_getglobal(L, "tostring");
    WorkMeter meter(L);
    for (int i = 1; i <= count; ++i) {
        lua_pushvalue(L, -1);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        const char* text = lua_tostring(L, -1);
        if (text == nullptr)
            return luaL_error(L, "'tostring' must return a string to 'print'");
        if (i > 1)
            write_out(L, stdout, "\t", 1);
        std::size_t length = std::strlen(text);
        meter.add_bytes(length);
        write_out(L, stdout, text, length);
        lua_pop(L, 1);
    }
    meter.settle();
    write_out(L, stdout, "\n", 1);
    return 0;
}

// Sets table[name] (table on top) to f with both handles as upvalues.
void set_function(lua_State* L, int stdout_handle, int stderr_handle, const char* name, lua_CFunction f) {
    lua_pushvalue(L, stdout_handle);
    lua_pushvalue(L, stderr_handle);
    lua_pushcclosure(L, f, 2);
    lua_setfield(L, -2, name);
}

// A handle is a plain table: tables never run finalizers. Its methods sit
// behind a metatable that the program cannot see.
void make_handle_methods(lua_State* L, int stdout_handle, int stderr_handle) {
    lua_newtable(L); // metatable
    lua_newtable(L); // methods
    set_function(L, stdout_handle, stderr_handle, "write", handle_write);
    set_function(L, stdout_handle, stderr_handle, "flush", flush);
    refuse_fields(L, "file:", {"close", "seek", "setvbuf", "read", "lines"});
    lua_setfield(L, -2, "__index");
    lua_pushboolean(L, 0);
    lua_setfield(L, -2, "__metatable");
    lua_pushvalue(L, -1);
    lua_setmetatable(L, stdout_handle);
    lua_setmetatable(L, stderr_handle);
}

} // namespace

void open_game_output(lua_State* L) {
    lua_newtable(L);
    int stdout_handle = lua_gettop(L);
    lua_newtable(L);
    int stderr_handle = lua_gettop(L);
    make_handle_methods(L, stdout_handle, stderr_handle);

    lua_newtable(L);
    set_function(L, stdout_handle, stderr_handle, "write", io_write);
    set_function(L, stdout_handle, stderr_handle, "flush", flush);
    set_function(L, stdout_handle, stderr_handle, "type", io_type);
    lua_pushvalue(L, stdout_handle);
    lua_setfield(L, -2, "stdout");
    lua_pushvalue(L, stderr_handle);
    lua_setfield(L, -2, "stderr");
    lua_pushvalue(L, -1);
    lua_setglobal(L, LUA_IOLIBNAME);
    lua_getfield(L, LUA_REGISTRYINDEX, "_LOADED");
    lua_insert(L, -2);
    lua_setfield(L, -2, LUA_IOLIBNAME);
    lua_pop(L, 1);

    lua_pushcfunction(L, print);
    lua_setglobal(L, "print");
    lua_settop(L, stdout_handle - 1);
}
