#ifndef GEARLOFT_LEVEL_SPAWNER_H
#define GEARLOFT_LEVEL_SPAWNER_H

#include <SDL.h>

#include <map>

class Level;

// Puts a new block of one type on its cell every `period` steps.
class Spawner {
public:
    int x;
    int y;
    int period;
    unsigned char type;

    Spawner(int x, int y, unsigned char type, int period);
    void tick(Level* level) const;
    void draw(SDL_Surface* dst, std::map<int, SDL_Surface*>& pictures) const;
};

#endif
