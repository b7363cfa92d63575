// The Lua environment a player's program runs in. Saves are shared between
// players and loading one runs its program, so a program gets the language's
// everyday libraries but nothing that reaches outside the game: no files, no
// processes, no native modules and no precompiled chunks.
#ifndef GEARLOFT_SCRIPTING_LUA_SANDBOX_H
#define GEARLOFT_SCRIPTING_LUA_SANDBOX_H

#include <lua.hpp>

#include <cstddef>
#include <initializer_list>

// Message of a refused precompiled chunk.
extern const char BINARY_CHUNK_REFUSED[];

// Makes the globals a program finds, from one list of what programs get
// (PROGRAM_LIBRARIES): Lua's own os, base, table, string, math and package
// functions by name, the game's own print, io and action, library functions
// that a runaway call cannot hang or overflow (lua_safe_library.h, the
// pattern functions), and stand-ins that refuse what reaches the system.
// Nothing else is left in any library table. Raises Lua errors, so call it
// in protected mode.
void open_game_libraries(lua_State* L);

// How compiling a text is charged: by its length (the program of a chunk,
// compiled once per run of it), or by the most a text this long can take
// to compile (texts a program compiles itself, maybe again and again).
enum class CompileCost { by_length, worst_case };

// Compiles program text under a chunk name and pushes the compiled function
// (status 0) or an error message (Lua's status). A precompiled chunk is
// refused: Lua does not check bytecode, and crafted bytecode can corrupt
// memory.
int load_program_text(lua_State* L, const char* text, std::size_t length, const char* chunk_name,
                      CompileCost cost = CompileCost::by_length);

// Replaces fields of the table on top of the stack with functions that
// refuse to run: "<shown_prefix><field> is not available in Gearloft programs".
void refuse_fields(lua_State* L, const char* shown_prefix, std::initializer_list<const char*> fields);

#endif
