// Work that Lua's own code has the C library do inside one instruction,
// charged to the running chunk. No hook fires inside an instruction, and
// some take long through the C library: memcmp when Lua makes a string that
// may exist already (a concatenation giving a text already made, or many
// texts sharing one hash), strcoll when it orders two texts, strtod and
// strtoul when it reads a text as a number, sprintf when it writes a number
// as text, pow for `^`, and the clock and calendar calls behind os.clock,
// os.time and os.date. The game defines these functions itself, passing
// every call on to the C library's, and charges the calls that come from
// Lua's own code (known by the return address) to the chunk that runs:
// each call by what it costs here, texts also by their length.
#ifndef GEARLOFT_SCRIPTING_LUA_LIBC_WORK_H
#define GEARLOFT_SCRIPTING_LUA_LIBC_WORK_H

// Finds where Lua's code lies. The engine calls it
// before its first chunk; it is cheap after the first call.
void watch_lua_libc_work();

#endif
