#include "toolkit/pictures.h"

#include <map>
#include <string>
#include <utility>

#include "toolkit/toolkit.h"

namespace {
// One file's picture as loaded; the place for the copies made from it.
struct Entry {
    Picture loaded;
};

std::map<std::pair<std::string, bool>, Entry>& cache() {
    static std::map<std::pair<std::string, bool>, Entry> entries;
    return entries;
}
} // namespace

SDL_Surface* cached_picture(const char* path, bool keyed) {
    if (path == nullptr)
        return nullptr;
    auto key = std::make_pair(std::string(path), keyed);
    auto found = cache().find(key);
    if (found == cache().end())
        found = cache().emplace(key, Entry{load_picture(path, keyed)}).first;
    return found->second.loaded.get();
}

void release_pictures() { cache().clear(); }
