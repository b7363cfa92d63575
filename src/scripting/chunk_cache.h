// The compiled functions of the last few program texts one Lua state ran.
// A frame's program is every device's table followed by the player's code,
// and it changes only when a sensor's or a grabber's reading does, so most
// frames run a text that an earlier frame compiled. The functions live in a
// table of the state's registry, made with room for all of them, so keeping
// one never allocates inside Lua.
#ifndef GEARLOFT_SCRIPTING_CHUNK_CACHE_H
#define GEARLOFT_SCRIPTING_CHUNK_CACHE_H

#include <lua.hpp>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class ChunkCache {
public:
    static constexpr int KEPT_CHUNKS = 8;
    // Texts longer than this are compiled on every run.
    static constexpr std::size_t KEPT_TEXT_MAX = 64 << 10;

    // Makes the registry table; raises a Lua error when it cannot, so call
    // it in protected mode.
    void open(lua_State* L);

    // When `text` was kept under `name`: pushes its function, its
    // environment set to the thread's globals as a fresh compile's would be,
    // and gives the work its compiling was charged. Otherwise pushes nothing
    // and gives a negative number.
    long long push_kept(lua_State* L, std::string_view text, std::string_view name);

    // Keeps the function on top of the stack (it stays there), compiled from
    // `text` under `name` for `cost` instructions, in place of the one
    // unused longest.
    void keep(lua_State* L, std::string_view text, std::string_view name, long long cost);

private:
    struct Kept {
        std::string text;
        std::string name;
        long long cost = 0;
        unsigned long long last_use = 0;
    };
    int table_ = LUA_NOREF;
    std::vector<Kept> kept_;
    unsigned long long uses_ = 0;

    void push_function(lua_State* L, std::size_t slot);
};

#endif
