#include "scripting/lua_sandbox.h"

#include <initializer_list>

const char BINARY_CHUNK_REFUSED[] = "cannot load a precompiled chunk; only program text is accepted";

namespace {

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

struct WholeText {
    const char* text;
    size_t length;
};

const char* read_whole_text(lua_State*, void* ud, size_t* size) {
    auto* whole = static_cast<WholeText*>(ud);
    if (whole->length == 0)
        return nullptr;
    *size = whole->length;
    whole->length = 0;
    return whole->text;
}

// The pieces of `load(f)`: f sits at stack slot 1, slot 3 keeps the latest
// piece alive while Lua reads it.
const char* read_from_function(lua_State* L, void*, size_t* size) {
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
    return lua_tolstring(L, 3, size);
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
    return load_result(L, load_program_text(L, text, length, chunk_name));
}

int text_only_load(lua_State* L) {
    const char* chunk_name = luaL_optstring(L, 2, "=(load)");
    luaL_checktype(L, 1, LUA_TFUNCTION);
    lua_settop(L, 3);
    return load_result(L, load_text_only(L, read_from_function, nullptr, chunk_name));
}

// Stands in for a removed function; its upvalue is the name the player used.
int refuse_call(lua_State* L) {
    return luaL_error(L, "%s is not available in Gearloft programs", lua_tostring(L, lua_upvalueindex(1)));
}

// Replaces fields of the table on top of the stack with refusals.
void refuse_fields(lua_State* L, const char* shown_prefix, std::initializer_list<const char*> fields) {
    for (const char* field : fields) {
        lua_pushfstring(L, "%s%s", shown_prefix, field);
        lua_pushcclosure(L, refuse_call, 1);
        lua_setfield(L, -2, field);
    }
}

void open_library(lua_State* L, const char* name, lua_CFunction opener) {
    lua_pushcfunction(L, opener);
    lua_pushstring(L, name);
    lua_call(L, 1, 0);
}

void lock_globals(lua_State* L) {
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    refuse_fields(L, "", {"dofile", "loadfile"});
    lua_pushcfunction(L, text_only_loadstring);
    lua_setfield(L, -2, "loadstring");
    lua_pushcfunction(L, text_only_load);
    lua_setfield(L, -2, "load");
    lua_pop(L, 1);
}

void lock_os_and_io(lua_State* L) {
    lua_getglobal(L, "os");
    refuse_fields(L, "os.", {"execute", "remove", "rename", "exit", "tmpname", "getenv", "setlocale"});
    lua_pop(L, 1);
    lua_getglobal(L, "io");
    refuse_fields(L, "io.", {"open", "popen", "lines", "input", "output", "read", "tmpfile"});
    lua_pop(L, 1);
    // io.stdin stays reachable (also through the io functions' environment):
    // reading it would block the game, so no file handle can be read.
    luaL_getmetatable(L, LUA_FILEHANDLE);
    refuse_fields(L, "file:", {"read", "lines"});
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

int load_program_text(lua_State* L, const char* text, size_t length, const char* chunk_name) {
    WholeText whole{text, length};
    return load_text_only(L, read_whole_text, &whole, chunk_name);
}

void open_game_libraries(lua_State* L) {
    open_library(L, LUA_IOLIBNAME, luaopen_io);
    open_library(L, LUA_OSLIBNAME, luaopen_os);
    open_library(L, "", luaopen_base);
    open_library(L, LUA_TABLIBNAME, luaopen_table);
    open_library(L, LUA_STRLIBNAME, luaopen_string);
    open_library(L, LUA_MATHLIBNAME, luaopen_math);
    open_library(L, LUA_LOADLIBNAME, luaopen_package);
    lock_globals(L);
    lock_os_and_io(L);
    lock_package(L);
}
