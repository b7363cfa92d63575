// Checked versions of the Lua 5.1 library functions that take counts,
// positions or ranges, or whose cost a single call cannot see: the same
// results as Lua's own for every sane argument, but no integer overflow, no
// loop of billions of steps and no unbounded work inside one call. Their work
// is charged to the running chunk's budget (WorkMeter).
#ifndef GEARLOFT_SCRIPTING_LUA_SAFE_LIBRARY_H
#define GEARLOFT_SCRIPTING_LUA_SAFE_LIBRARY_H

#include <lua.hpp>

// Replaces unpack, table.insert, table.remove, table.sort, table.concat,
// table.maxn, string.rep, string.byte, string.format (lua_format.h),
// math.random, math.randomseed,
// collectgarbage, coroutine.resume and coroutine.wrap with the checked
// versions. math.random draws from a generator of the Lua state's own,
// seeded alike in every new state.
void install_safe_library(lua_State* L);

#endif
