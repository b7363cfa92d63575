#ifndef GEARLOFT_SCREENS_CLOCK_H
#define GEARLOFT_SCREENS_CLOCK_H

// Frame pacing: a fixed sleep at the start of every frame.
class Clock {
public:
    void tick(int fps);
};

#endif
