#ifndef GEARLOFT_LEVEL_SPAWNER_H
#define GEARLOFT_LEVEL_SPAWNER_H


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
};

#endif
