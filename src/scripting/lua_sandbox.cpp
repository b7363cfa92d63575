#include "scripting/lua_sandbox.h"

#include <initializer_list>

#include "scripting/lua_output.h"
#include "scripting/lua_patterns.h"
#include "scripting/lua_safe_library.h"
#include "scripting/work_meter.h"

const char BINARY_CHUNK_REFUSED[] = "cannot load a precompiled chunk; only program text is accepted";

namespace {

// Longest text that load and loadstring compile, and the message past it.
constexpr size_t LOAD_TEXT_MAX = 1 << 16;
static_assert(LOAD_TEXT_MAX == 65536, "the message names the limit");
constexpr const char LOAD_TEXT_TOO_LONG[] = "text too long to load (more than 65536 bytes)";

// Wraps another reader and checks the first piece: a chunk starting with
// the escape byte would be handed to Lua's bytecode loader.
struct TextOnlyReader {
    lua_Reader next;
    void* data;
    bool first_piece = true;
};

const char* read_text_only(lua_State* L, void* ud, size_t* size) {
    auto* reader = static_cast<TextOnlyReader*>(ud);
    const char* piece = reader->next(L, reader->data, size);
    if (reader->first_piece && piece && *size > 0 && piece[0] == LUA_SIGNATURE[0]) {
        lua_pushstring(L, BINARY_CHUNK_REFUSED);
        lua_error(L);
    }
    reader->first_piece = false;
    return piece;
}

int load_text_only(lua_State* L, lua_Reader next, void* data, const char* chunk_name) {
    TextOnlyReader reader{next, data};
    return lua_load(L, read_text_only, &reader, chunk_name);
}

// Compiling runs inside one call, where no hook fires: the text is handed
// to Lua in pieces, each charged to the chunk's budget as it is read, so a
// text that takes long to compile stops like a long loop.
constexpr size_t PIECE = 4096;
constexpr long long STEPS_PER_TEXT_BYTE = 4;

void charge_text(lua_State* L, size_t length) {
    charge_steps(L, static_cast<long long>(length) * STEPS_PER_TEXT_BYTE);
}

struct WholeText {
    const char* text;
    size_t length;
};

const char* read_whole_text(lua_State* L, void* ud, size_t* size) {
    auto* whole = static_cast<WholeText*>(ud);
    if (whole->length == 0)
        return nullptr;
    *size = whole->length < PIECE ? whole->length : PIECE;
    charge_text(L, *size);
    const char* piece = whole->text;
    whole->text += *size;
    whole->length -= *size;
    return piece;
}

// The pieces of `load(f)`: f sits at stack slot 1, slot 3 keeps the latest
// piece alive while Lua reads it. `ud` counts the bytes read so far.
const char* read_from_function(lua_State* L, void* ud, size_t* size) {
    luaL_checkstack(L, 2, "too many nested functions");
    lua_pushvalue(L, 1);
    lua_call(L, 0, 1);
    if (lua_isnil(L, -1)) {
        *size = 0;
        return nullptr;
    }
    if (!lua_isstring(L, -1))
        luaL_error(L, "reader function must return a string");
    lua_replace(L, 3);
    const char* piece = lua_tolstring(L, 3, size);
    auto* total = static_cast<size_t*>(ud);
    *total += *size;
    if (*total > LOAD_TEXT_MAX)
        luaL_error(L, "%s", LOAD_TEXT_TOO_LONG);
    charge_text(L, *size);
    return piece;
}

// Lua's convention for the load functions: the function, or nil and the message.
int load_result(lua_State* L, int status) {
    if (status == 0)
        return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

int text_only_loadstring(lua_State* L) {
    size_t length;
    const char* text = luaL_checklstring(L, 1, &length);
    const char* chunk_name = luaL_optstring(L, 2, text);
    if (length > LOAD_TEXT_MAX) {
        lua_pushnil(L);
        lua_pushstring(L, LOAD_TEXT_TOO_LONG);
        return 2;
    }
    return load_result(L, load_program_text(L, text, length, chunk_name));
}

int text_only_load(lua_State* L) {
    const char* chunk_name = luaL_optstring(L, 2, "=(load)");
    luaL_checktype(L, 1, LUA_TFUNCTION);
    lua_settop(L, 3);
    size_t total = 0;
    return load_result(L, load_text_only(L, read_from_function, &total, chunk_name));
}

// xpcall whose handler runs once the failed call has unwound, as a plain
// call. Lua's own runs the handler inside the failure, where no hook fires
// after a hook raised the error: a looping handler could then never be
// stopped. Results as with Lua's: true and f's results, or false and what the
// handler returns ("error in error handling" if the handler fails too).
int unwound_xpcall(lua_State* L) {
    luaL_checkany(L, 2);
    lua_settop(L, 2);
    lua_pushvalue(L, 1);
    bool succeeded = lua_pcall(L, 0, LUA_MULTRET, 0) == 0;
    if (!succeeded) {
        lua_pushvalue(L, 2);
        lua_insert(L, 3);
        if (lua_pcall(L, 1, 1, 0) != 0) {
            lua_pop(L, 1);
            lua_pushliteral(L, "error in error handling");
        }
    }
    lua_pushboolean(L, succeeded);
    lua_insert(L, 3);
    return lua_gettop(L) - 2;
}

// Stands in for a removed function; its upvalue is the name the player used.
int refuse_call(lua_State* L) {
    return luaL_error(L, "%s is not available in Gearloft programs", lua_tostring(L, lua_upvalueindex(1)));
}

void open_library(lua_State* L, const char* name, lua_CFunction opener) {
    lua_pushcfunction(L, opener);
    lua_pushstring(L, name);
    lua_call(L, 1, 0);
}

void lock_globals(lua_State* L) {
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    // newproxy is the one way to give an object a Lua finalizer, and Lua runs
    // finalizers with hooks off: a looping one could never be stopped.
    refuse_fields(L, "", {"dofile", "loadfile", "newproxy"});
    lua_pushcfunction(L, text_only_loadstring);
    lua_setfield(L, -2, "loadstring");
    lua_pushcfunction(L, text_only_load);
    lua_setfield(L, -2, "load");
    lua_pushcfunction(L, unwound_xpcall);
    lua_setfield(L, -2, "xpcall");
    lua_pop(L, 1);
}

// setlocale would change how strings compare and what the pattern classes
// mean, which the game's own versions of those functions take as fixed.
void lock_os(lua_State* L) {
    lua_getglobal(L, "os");
    refuse_fields(L, "os.", {"execute", "remove", "rename", "exit", "tmpname", "getenv", "setlocale"});
    lua_pop(L, 1);
}

// `require` keeps only its preload searcher: the others read Lua files or
// load native libraries.
void lock_package(lua_State* L) {
    lua_getglobal(L, "package");
    refuse_fields(L, "package.", {"loadlib"});
    lua_pushliteral(L, "");
    lua_setfield(L, -2, "path");
    lua_pushliteral(L, "");
    lua_setfield(L, -2, "cpath");
    lua_getfield(L, -1, "loaders");
    for (int searcher = static_cast<int>(lua_objlen(L, -1)); searcher > 1; --searcher) {
        lua_pushnil(L);
        lua_rawseti(L, -2, searcher);
    }
    lua_pop(L, 2);
}

} // namespace

void refuse_fields(lua_State* L, const char* shown_prefix, std::initializer_list<const char*> fields) {
    for (const char* field : fields) {
        lua_pushfstring(L, "%s%s", shown_prefix, field);
        lua_pushcclosure(L, refuse_call, 1);
        lua_setfield(L, -2, field);
    }
}

int load_program_text(lua_State* L, const char* text, size_t length, const char* chunk_name) {
    WholeText whole{text, length};
    return load_text_only(L, read_whole_text, &whole, chunk_name);
}

void open_game_libraries(lua_State* L) {
    open_library(L, LUA_OSLIBNAME, luaopen_os);
    open_library(L, "", luaopen_base);
    open_library(L, LUA_TABLIBNAME, luaopen_table);
    open_library(L, LUA_STRLIBNAME, luaopen_string);
    open_library(L, LUA_MATHLIBNAME, luaopen_math);
    open_library(L, LUA_LOADLIBNAME, luaopen_package);
    open_game_output(L);
    lock_globals(L);
    lock_os(L);
    lock_package(L);
    install_safe_library(L);
    install_watched_patterns(L);
}
