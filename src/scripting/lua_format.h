// string.format as Lua 5.1 has it, the same texts and messages, with its
// work charged to the running chunk (WorkMeter): '%q' writes a text
// character by character, which Lua's own does inside one call where no
// hook fires. Numbers beyond what a conversion holds give what Lua 5.1's
// conversions give on this machine, without undefined behaviour.
#ifndef GEARLOFT_SCRIPTING_LUA_FORMAT_H
#define GEARLOFT_SCRIPTING_LUA_FORMAT_H

#include <lua.hpp>

int metered_format(lua_State* L);

#endif
