// The level list: the screen the game starts on. Each row opens its level;
// the load button opens a saved machine.
#ifndef GEARLOFT_SCREENS_LEVEL_LIST_H
#define GEARLOFT_SCREENS_LEVEL_LIST_H

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "files/level_file.h"
#include "files/paths.h"
#include "files/records.h"
#include "screens/game_info.h"

// The level list: returns when the player leaves it.
void level_select(GameInfo* info);

// The level list's state and its answer to each event, apart from the wait
// for events, so that tests can drive it.
class LevelSelect {
public:
    struct Row {
        std::string name;
        std::string text;
        Par par;
    };

    // Reads the levels and the player's records (by default those in the
    // saves folder); a records file that cannot be used is reported on
    // standard error.
    explicit LevelSelect(GameInfo* info, const std::string& records_file = RECORDS_FILE);
    LevelSelect(const LevelSelect&) = delete;
    LevelSelect& operator=(const LevelSelect&) = delete;
    void draw();
    // False when the player leaves the list. Sets `redraw` when a level or
    // the load chooser ran, so the list must be drawn again.
    bool handle_event(const SDL_Event& event, bool& redraw);
    bool turn_page(SDLKey key);
    // Some row has a best or a par to show.
    bool shows_records() const;
    // Moves the highlight a row up or down, turning the page where it leaves
    // one; true when it moved.
    bool move_highlight(SDLKey key);
    // Highlights the row under the pointer, or none; true when that changed.
    bool point_at(int x, int y);

    GameInfo* info;
    std::vector<Row> rows;
    // The first row shown: 0, or the start of a later page when the rows do
    // not all fit (Page Down and Page Up turn the pages).
    size_t first = 0;
    // The bests of the levels won.
    Records records;
    // The highlighted row (an index into `rows`), or -1: the row under the
    // pointer, or the one the arrow keys moved to; Enter opens it.
    int highlight = -1;
    bool highlight_by_pointer = false;
    // What a press on a row and on the load button do; by default, play the
    // level and open the load chooser.
    std::function<void(const std::string& name)> open_level;
    std::function<void()> open_save;
};
// The list's load button: opens a saved machine and plays it, keeping the
// records of its wins when there are records to keep.
void load_save(GameInfo* info, Records* records = nullptr);

#endif
