// Undo and redo for building: the floor's parts as they stood before each
// change the player made (a part placed, moved or removed), kept for a
// bounded number of changes.
#ifndef GEARLOFT_LEVEL_CONSTRUCTION_HISTORY_H
#define GEARLOFT_LEVEL_CONSTRUCTION_HISTORY_H

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class Device;
class Level;

// The level's parts at one moment: a copy of each, in list order, with its
// place and name, and its save record to tell two moments apart.
class PartsSnapshot {
public:
    explicit PartsSnapshot(const Level& level);
    PartsSnapshot(PartsSnapshot&&) noexcept;
    PartsSnapshot& operator=(PartsSnapshot&&) noexcept;
    ~PartsSnapshot();

    bool same_parts(const PartsSnapshot& other) const { return records_ == other.records_; }
    // Puts these parts on the level in place of the ones it has; the
    // snapshot is used up.
    void restore(Level& level);

private:
    std::vector<std::unique_ptr<Device>> parts_;
    std::vector<std::string> records_;
};

class ConstructionHistory {
public:
    // Changes kept for undo; the oldest goes first.
    static constexpr std::size_t DEPTH = 100;

    // Keeps `before` for undo when the level's parts differ from it now; a
    // new change forgets what could have been redone.
    void commit(PartsSnapshot before, const Level& level);
    // Takes the level's parts one change back (or forward again); false when
    // there is nothing to take back (or to do again).
    bool undo(Level& level);
    bool redo(Level& level);

    std::size_t undo_count() const { return undo_.size(); }
    std::size_t redo_count() const { return redo_.size(); }

private:
    std::deque<PartsSnapshot> undo_;
    std::deque<PartsSnapshot> redo_;
};

#endif
