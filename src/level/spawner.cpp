#include "level/spawner.h"

#include "level/level.h"

Spawner::Spawner(int x, int y, unsigned char type, int period) : x(x), y(y), period(period), type(type) {}

void Spawner::tick(Level* level) const {
    // A period of zero or less has no sensible firing step, so such a spawner
    // stays silent; one off the floor would put blocks where nothing can reach them.
    if (period <= 0 || !Level::on_floor(x, y))
        return;
    if (level->ticks % period == 0)
        level->add_block(x, y, type);
}
