// The three numbers of a winning machine (steps, parts, code) and a level's
// targets for them. run/measure.h measures a win, files/records.h keeps the
// player's bests, and a level file carries its par (files/level_file.h).
#ifndef GEARLOFT_FILES_METRICS_H
#define GEARLOFT_FILES_METRICS_H

#include <optional>

struct Metrics {
    int steps = 0;
    int parts = 0;
    int code = 0;
    bool operator==(const Metrics& other) const {
        return steps == other.steps && parts == other.parts && code == other.code;
    }
};

// A level's target numbers for a winning machine, each present or not. A
// level file gives them as items that a reader knowing nothing of them skips
// after their keyword, x and y: "par, STEPS, PARTS" and "par_code, CODE, 0".
struct Par {
    std::optional<int> steps;
    std::optional<int> parts;
    std::optional<int> code;
};

#endif
