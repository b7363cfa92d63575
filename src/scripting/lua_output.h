// What a player's program may print: print, io.write and write on look-alikes
// of io.stdout and io.stderr, all within the run's output budget. There are
// no real file handles, so nothing can seek, close or reconfigure the game's
// own streams, and no file handle's metatable can receive a finalizer.
#ifndef GEARLOFT_SCRIPTING_LUA_OUTPUT_H
#define GEARLOFT_SCRIPTING_LUA_OUTPUT_H

#include <lua.hpp>

// Sets the global print and a global io table of the game's own (io.write,
// io.stdout, io.stderr, io.type, io.flush), also as package.loaded.io.
void open_game_output(lua_State* L);

#endif
