#include "scripting/lua_sandbox.h"

#include <cstring>
#include <initializer_list>
#include <string_view>

#include "scripting/lua_output.h"
#include "scripting/lua_patterns.h"
#include "scripting/lua_safe_library.h"
#include "scripting/scripting_engine.h"
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
// text that takes long to compile stops like a long loop. At worst the
// compiler's work per byte grows with the text (a long chain of `or` or of
// `elseif`, names looked up among many locals in many nested functions), so
// a text a program compiles by itself costs that worst case: each byte a
// step more for every BYTES_PER_EXTRA_STEP before it, which makes the whole
// text's cost grow with the square of its length.
constexpr size_t PIECE = 4096;
constexpr long long STEPS_PER_TEXT_BYTE = 8;
constexpr long long BYTES_PER_EXTRA_STEP = 64;

// Reads a text for the compiler: charges each piece and looks for "...",
// the only way to write a copy of varargs.
class TextReading {
public:
    TextReading(lua_State* L, CompileCost cost) : L_(L), cost_(cost) {}

    void read(const char* piece, size_t length) {
        charge_steps(L_, steps_for(length));
        look_for_dots(piece, length);
        read_ += length;
    }

private:
    lua_State* L_;
    CompileCost cost_;
    size_t read_ = 0;
    // Dots that ended the pieces read so far.
    size_t dots_ = 0;

    long long steps_for(size_t length) const {
        auto bytes = static_cast<long long>(length);
        long long steps = bytes * STEPS_PER_TEXT_BYTE;
        if (cost_ == CompileCost::worst_case)
            steps += bytes * (2 * static_cast<long long>(read_) + bytes) / (2 * BYTES_PER_EXTRA_STEP);
        return steps;
    }

    void look_for_dots(const char* piece, size_t length) {
        std::string_view text(piece, length);
        size_t leading = text.find_first_not_of('.');
        bool found = dots_ + (leading == std::string_view::npos ? length : leading) >= 3 ||
                     text.find("...") != std::string_view::npos;
        if (found)
            if (ScriptingEngine* engine = ScriptingEngine::owner_of(L_))
                engine->watch_every_instruction();
        size_t last = text.find_last_not_of('.');
        dots_ = last == std::string_view::npos ? dots_ + length : length - last - 1;
    }
};

struct WholeText {
    const char* text;
    size_t length;
    TextReading reading;
};

const char* read_whole_text(lua_State*, void* ud, size_t* size) {
    auto* whole = static_cast<WholeText*>(ud);
    if (whole->length == 0)
        return nullptr;
    *size = whole->length < PIECE ? whole->length : PIECE;
    whole->reading.read(whole->text, *size);
    const char* piece = whole->text;
    whole->text += *size;
    whole->length -= *size;
    return piece;
}

// The pieces of `load(f)`: f sits at stack slot 1, slot 3 keeps the latest
// piece alive while Lua reads it.
struct FunctionText {
    size_t total = 0;
    TextReading reading;
};

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
    auto* text = static_cast<FunctionText*>(ud);
    text->total += *size;
    if (text->total > LOAD_TEXT_MAX)
        luaL_error(L, "%s", LOAD_TEXT_TOO_LONG);
    text->reading.read(piece, *size);
    return piece;
}

// Lua's convention for the load functions: the function, or nil and the message.
int load_result(lua_State* L, int status) {
    if (status == 0)
        return 1;
    charge_steps(L, CAUGHT_ERROR_COST);
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
    return load_result(L, load_program_text(L, text, length, chunk_name, CompileCost::worst_case));
}

int text_only_load(lua_State* L) {
    const char* chunk_name = luaL_optstring(L, 2, "=(load)");
    luaL_checktype(L, 1, LUA_TFUNCTION);
    lua_settop(L, 3);
    FunctionText text{0, TextReading(L, CompileCost::worst_case)};
    return load_result(L, load_text_only(L, read_from_function, &text, chunk_name));
}

// pcall(f, ...) as Lua's own, with a caught error charged.
int charged_pcall(lua_State* L) {
    luaL_checkany(L, 1);
    bool succeeded = lua_pcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0) == 0;
    if (!succeeded)
        charge_steps(L, CAUGHT_ERROR_COST);
    lua_pushboolean(L, succeeded);
    lua_insert(L, 1);
    return lua_gettop(L);
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
        charge_steps(L, CAUGHT_ERROR_COST);
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

// Stands in for a refused function; its upvalue is the name the player used.
int refuse_call(lua_State* L) {
    return luaL_error(L, "%s is not available in Gearloft programs", lua_tostring(L, lua_upvalueindex(1)));
}

void open_library(lua_State* L, const char* name, lua_CFunction opener) {
    lua_pushcfunction(L, opener);
    lua_pushstring(L, name);
    lua_call(L, 1, 0);
}

// What a program finds in one library table: these names, each with Lua's
// own value or the game's own version (lua_safe_library.h, lua_patterns.h,
// lua_output.h and this file put theirs in), and names kept only to refuse.
struct Library {
    const char* name; // "_G" for the globals
    std::initializer_list<const char*> names;
    std::initializer_list<const char*> refused;
};

// Everything a program gets; whatever Lua's libraries hold beyond it is
// gone. Left out: what reaches files, processes or native code, what would
// change how texts compare (setlocale), and newproxy, the one way to give an
// object a Lua finalizer, which Lua runs with hooks off (a looping one could
// never be stopped). `require` keeps only its preload searcher.
const Library PROGRAM_LIBRARIES[] = {
    {LUA_COLIBNAME, {"create", "resume", "running", "status", "wrap", "yield"}, {}},
    {LUA_IOLIBNAME,
     {"flush", "stderr", "stdout", "type", "write"},
     {"close", "input", "lines", "open", "output", "popen", "read", "tmpfile"}},
    {LUA_MATHLIBNAME,
     {"abs",   "acos", "asin", "atan", "atan2", "ceil", "cos",    "cosh",       "deg", "exp",  "floor", "fmod",
      "frexp", "huge", "ldexp", "log", "log10", "max",  "min",    "mod",        "modf", "pi",  "pow",   "rad",
      "random", "randomseed", "sin", "sinh", "sqrt", "tan", "tanh"},
     {}},
    {LUA_OSLIBNAME,
     {"clock", "date", "difftime", "time"},
     {"execute", "exit", "getenv", "remove", "rename", "setlocale", "tmpname"}},
    {LUA_LOADLIBNAME, {"config", "cpath", "loaded", "loaders", "path", "preload", "seeall"}, {"loadlib"}},
    {LUA_STRLIBNAME,
     {"byte", "char", "dump", "find", "format", "gfind", "gmatch", "gsub", "len", "lower", "match", "rep",
      "reverse", "sub", "upper"},
     {}},
    {LUA_TABLIBNAME,
     {"concat", "foreach", "foreachi", "getn", "insert", "maxn", "remove", "setn", "sort"},
     {}},
    // Last: the globals hold the tables above under their names.
    {"_G",
     {"_G",          "_VERSION", "action",  "assert",    "collectgarbage", "coroutine", "error",    "gcinfo",
      "getfenv",     "getmetatable", "io",  "ipairs",    "load",           "loadstring", "math",    "module",
      "next",        "os",       "package", "pairs",     "pcall",          "print",      "rawequal", "rawget",
      "rawset",      "require",  "select",  "setfenv",   "setmetatable",   "string",     "table",   "tonumber",
      "tostring",    "type",     "unpack",  "xpcall"},
     {"dofile", "loadfile", "newproxy"}},
};

// The shown name of a library's field: "os.execute", or "dofile" for a global.
void push_shown_name(lua_State* L, const Library& library, const char* field) {
    if (std::strcmp(library.name, "_G") == 0)
        lua_pushstring(L, field);
    else
        lua_pushfstring(L, "%s.%s", library.name, field);
}

// Makes the table below the top hold exactly what the table on top holds,
// and pops the latter. The table stays the same object, so nothing that
// holds it (the string metatable, an opened function's environment,
// `require`) keeps a way to what is gone.
void replace_contents(lua_State* L) {
    lua_pushnil(L);
    while (lua_next(L, -3) != 0) {
        lua_pop(L, 1);
        lua_pushvalue(L, -1);
        lua_pushnil(L);
        lua_rawset(L, -5);
    }
    lua_pushnil(L);
    while (lua_next(L, -2) != 0) {
        lua_pushvalue(L, -2);
        lua_insert(L, -2);
        lua_rawset(L, -5);
    }
    lua_pop(L, 1);
}

// Cuts the table on top of the stack down to the library's names, with the
// values they had, and adds its refusing stand-ins.
void keep_only(lua_State* L, const Library& library) {
    lua_newtable(L);
    for (const char* name : library.names) {
        lua_getfield(L, -2, name);
        if (lua_isnil(L, -1))
            luaL_error(L, "the program's library lacks %s.%s", library.name, name);
        lua_setfield(L, -2, name);
    }
    replace_contents(L);
    for (const char* refused : library.refused) {
        push_shown_name(L, library, refused);
        lua_pushcclosure(L, refuse_call, 1);
        lua_setfield(L, -2, refused);
    }
}

// The game's own parts of `package`: no search paths, and only the preload
// searcher (the others read Lua files or load native libraries).
void set_up_package(lua_State* L) {
    lua_getglobal(L, LUA_LOADLIBNAME);
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

void set_up_globals(lua_State* L) {
    lua_pushcfunction(L, text_only_loadstring);
    lua_setglobal(L, "loadstring");
    lua_pushcfunction(L, text_only_load);
    lua_setglobal(L, "load");
    lua_pushcfunction(L, charged_pcall);
    lua_setglobal(L, "pcall");
    lua_pushcfunction(L, unwound_xpcall);
    lua_setglobal(L, "xpcall");
    lua_pushcfunction(L, l_push_action);
    lua_setglobal(L, "action");
}

// Cuts every library down to its list, and lists just these libraries as
// loaded (what `require` hands out).
void keep_only_program_libraries(lua_State* L) {
    for (const Library& library : PROGRAM_LIBRARIES) {
        lua_getglobal(L, library.name);
        keep_only(L, library);
        lua_pop(L, 1);
    }
    lua_getfield(L, LUA_REGISTRYINDEX, "_LOADED");
    lua_newtable(L);
    for (const Library& library : PROGRAM_LIBRARIES) {
        lua_getglobal(L, library.name);
        lua_setfield(L, -2, library.name);
    }
    replace_contents(L);
    lua_pop(L, 1);
}

} // namespace

void refuse_fields(lua_State* L, const char* shown_prefix, std::initializer_list<const char*> fields) {
    for (const char* field : fields) {
        lua_pushfstring(L, "%s%s", shown_prefix, field);
        lua_pushcclosure(L, refuse_call, 1);
        lua_setfield(L, -2, field);
    }
}

int load_program_text(lua_State* L, const char* text, size_t length, const char* chunk_name, CompileCost cost) {
    WholeText whole{text, length, TextReading(L, cost)};
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
    set_up_globals(L);
    set_up_package(L);
    install_safe_library(L);
    install_watched_patterns(L);
    keep_only_program_libraries(L);
}
