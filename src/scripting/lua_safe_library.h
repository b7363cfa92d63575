// Checked versions of the Lua 5.1 library functions that take counts,
// positions or ranges, or whose cost a single call cannot see: the same
// results as Lua's own for every sane argument, but no integer overflow, no
// loop of billions of steps and no unbounded work inside one call. Their work
// is charged to the running chunk's budget (WorkMeter).
#ifndef GEARLOFT_SCRIPTING_LUA_SAFE_LIBRARY_H
#define GEARLOFT_SCRIPTING_LUA_SAFE_LIBRARY_H

#include <lua.hpp>

#include <cstddef>

// Longest text that load and loadstring compile.
constexpr std::size_t LOAD_TEXT_MAX = 1 << 16;

// Replaces unpack, table.insert, table.remove, table.sort, table.concat,
// string.rep, math.random, collectgarbage, coroutine.resume and
// coroutine.wrap with the checked versions.
void install_safe_library(lua_State* L);

// Lua 5.1's string order (strcoll on each zero-separated piece), with the
// work charged to `meter_steps`: pieces count as steps, long texts by length.
int compare_texts(const char* a, std::size_t a_length, const char* b, std::size_t b_length, long long& meter_steps);

#endif
