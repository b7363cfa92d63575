// The player's records: for every level won, the best of each metric of its
// winning machines, kept separately, since the fewest steps, the fewest parts
// and the shortest program may each come from a different machine. They live
// in one small text file in the saves folder, keyed by the level file's name,
// with "-" for a code best there is none of:
//
//   # Gearloft bests: steps parts code-tokens level
//   412 16 0 01-first-belt.lvl
//   250 9 - 04-first-pusher.lvl
//
// Files under the heading "# Gearloft bests: steps parts code level" counted
// code in lines. They are read with their steps and parts bests and without
// their code bests, which no token count can be weighed against, and the
// next write gives them the new heading.
#ifndef GEARLOFT_FILES_RECORDS_H
#define GEARLOFT_FILES_RECORDS_H

#include <map>
#include <optional>
#include <string>

#include "files/metrics.h"

// A level's bests. The code best is missing where an old file's line count
// was dropped, until the level's next win.
struct Bests {
    int steps = 0;
    int parts = 0;
    std::optional<int> code;
    bool operator==(const Bests& other) const {
        return steps == other.steps && parts == other.parts && code == other.code;
    }
};

using BestsByLevel = std::map<std::string, Bests>;

// What one win did to a level's records.
struct RecordOutcome {
    // The bests before this win; none the first time the level is won.
    std::optional<Bests> before;
    Bests bests;
    // Which metrics this win improved (all three on a first win; code too
    // where there was no code best).
    bool new_steps = false, new_parts = false, new_code = false;
    // Why the improved records could not be written; empty when they were,
    // or when nothing improved.
    std::string failure;
};

class Records {
public:
    // The records file; nothing is read until `load`.
    explicit Records(std::string path);

    // Reads the file; a missing file means no records yet. A file that
    // cannot be read or is not a records file is set aside (renamed beside
    // itself, never deleted) and the records start empty. The message for
    // the player says so; empty when all went well.
    std::string load();

    // The level's bests; null when it was never won.
    const Bests* best(const std::string& level) const;

    // Takes a winning machine's metrics and keeps each that beats the
    // level's best or stands where there is none. Improved records are
    // written at once; when that fails the old file stays as it was and the
    // bests are kept for the next write.
    RecordOutcome record(const std::string& level, const Metrics& won);

private:
    std::string path_;
    BestsByLevel bests_;
    // A file that could not be set aside is never written over.
    bool writable_ = true;

    std::string set_aside(const std::string& why);
};

#endif
