// Lua's pattern-matching string functions (find, match, gmatch, gsub) with
// the results of Lua 5.1's own, but safe to hand any pattern. Lua's versions
// backtrack inside one C call, where no hook fires, and a pattern such as
// '.-.-.-b' keeps them busy for minutes on a few thousand characters. These
// count their steps against the running chunk's budget (ScriptingEngine::
// charge_work), so a runaway search stops like a runaway loop, and they bound
// their recursion so a long pattern cannot overflow the stack.
#ifndef GEARLOFT_SCRIPTING_LUA_PATTERNS_H
#define GEARLOFT_SCRIPTING_LUA_PATTERNS_H

#include <lua.hpp>

// Message of a pattern that nests more quantified items and captures than
// MAX_PATTERN_DEPTH.
extern const char PATTERN_TOO_COMPLEX[];
// Levels of recursion a match may use: one per quantified item or capture
// still being tried. Later Lua versions stop at the same depth.
constexpr int MAX_PATTERN_DEPTH = 200;

// Replaces find, match, gmatch and gsub (and gfind, the old name of gmatch,
// the same function) in the global string table; strings reach them as
// methods through it.
void install_watched_patterns(lua_State* L);

#endif
