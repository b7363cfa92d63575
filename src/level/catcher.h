#ifndef GEARLOFT_LEVEL_CATCHER_H
#define GEARLOFT_LEVEL_CATCHER_H

#include <string>

class Level;

// Waits in its area for five groups shaped exactly like its pattern.
class Catcher {
public:
    int x;
    int y;
    int width;
    int height;
    int remaining = 5;
    // width x height block types, row by row; 'x' cells are not judged.
    std::string pattern;
    int pattern_blocks = 0;

    Catcher(int x, int y, int width, int height, std::string pattern);
    void tick(Level* level);

    // True when the area lies on the floor and the pattern has width x height
    // cells; any other catcher never reads the floor and never matches.
    bool is_valid() const;

private:
    bool matches_at(const Level* level, int group, int ox, int oy) const;
};

#endif
