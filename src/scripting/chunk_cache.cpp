#include "scripting/chunk_cache.h"

void ChunkCache::open(lua_State* L) {
    lua_createtable(L, KEPT_CHUNKS, 0);
    table_ = luaL_ref(L, LUA_REGISTRYINDEX);
}

long long ChunkCache::push_kept(lua_State* L, std::string_view text, std::string_view name) {
    for (std::size_t slot = 0; slot < kept_.size(); ++slot) {
        Kept& kept = kept_[slot];
        if (kept.text.size() != text.size() || kept.name != name || kept.text != text)
            continue;
        kept.last_use = ++uses_;
        push_function(L, slot);
        return kept.cost;
    }
    return -1;
}

void ChunkCache::keep(lua_State* L, std::string_view text, std::string_view name, long long cost) {
    if (table_ == LUA_NOREF || text.size() > KEPT_TEXT_MAX)
        return;
    std::size_t slot = kept_.size();
    if (slot < KEPT_CHUNKS) {
        kept_.emplace_back();
    } else {
        slot = 0;
        for (std::size_t i = 1; i < kept_.size(); ++i)
            if (kept_[i].last_use < kept_[slot].last_use)
                slot = i;
    }
    kept_[slot] = {std::string(text), std::string(name), cost, ++uses_};
    lua_rawgeti(L, LUA_REGISTRYINDEX, table_);
    lua_pushvalue(L, -2);
    lua_rawseti(L, -2, static_cast<int>(slot) + 1);
    lua_pop(L, 1);
}

void ChunkCache::push_function(lua_State* L, std::size_t slot) {
    lua_rawgeti(L, LUA_REGISTRYINDEX, table_);
    lua_rawgeti(L, -1, static_cast<int>(slot) + 1);
    lua_remove(L, -2);
    // A program may have given its chunk other globals with setfenv(1, t).
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    lua_setfenv(L, -2);
}
