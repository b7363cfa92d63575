#include "screens/level_list.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "files/device_record.h"
#include "files/levels_folder.h"
#include "files/save_file.h"
#include "screens/fatal_message.h"
#include "screens/file_chooser.h"
#include "screens/level_list_records.h"
#include "screens/level_list_rows.h"
#include "screens/level_loop.h"
#include "screens/message_screens.h"
#include "toolkit/pictures.h"
#include "toolkit/present.h"
#include "toolkit/toolkit.h"

namespace {
constexpr Uint32 WAIT_MS = 50;
constexpr int PAGE_NUMBER_RIGHT = 652;
constexpr int PAGE_NUMBER_Y = 557;

// Plays a level that was read from a file, or says why it cannot be played.
void play(GameInfo* info, const LoadResult& loaded, Records* records) {
    switch (load_outcome(loaded)) {
    case LoadOutcome::open: run_level(info, loaded.level.get(), records, loaded.par); break;
    case LoadOutcome::show_error: error(info, loaded.message.c_str()); break;
    case LoadOutcome::fatal: fatal_message(info->screen, INVALID_RECORD_TITLE, loaded.message.c_str());
    }
}
} // namespace

void load_save(GameInfo* info, Records* records) {
    std::optional<std::string> path = choose_file(info->screen, ChooserMode::Open);
    if (!path)
        return;
    play(info, load_level(path->c_str(), LevelSource::save_file), records);
}

LevelSelect::LevelSelect(GameInfo* info, const std::string& records_file) : info(info), records(records_file) {
    for (const std::string& name : order_by_difficulty(find_levels()))
        rows.push_back({name, level_row_text(get_level_difficulty_from_file(name), get_level_desc_from_file(name)),
                        read_level_par(name)});
    std::string problem = records.load();
    if (!problem.empty())
        std::fprintf(stderr, "%s\n", problem.c_str());
    open_level = [this](const std::string& name) {
        play(this->info, load_level(name.c_str(), LevelSource::level_file), &records);
    };
    open_save = [this] { load_save(this->info, &records); };
}

void LevelSelect::draw() {
    draw_image(cached_picture("img/background_selection.gif"), 0, 0, info->screen);
    if (highlight >= static_cast<int>(first) && highlight < static_cast<int>(first + LIST_PAGE_ROWS))
        draw_row_highlight(info->screen, highlight - static_cast<int>(first));
    for (size_t i = first; i < rows.size() && i < first + LIST_PAGE_ROWS; ++i) {
        int y = LIST_TOP + LIST_ROW_HEIGHT * static_cast<int>(i - first);
        draw_text(rows[i].text.c_str(), 10, 0, 0, 0, LIST_LEFT, y, info->screen);
        draw_row_records(info->screen, y, LIST_LEFT + text_width(rows[i].text.c_str(), 10),
                         records.best(rows[i].name), rows[i].par);
    }
    if (shows_records())
        draw_records_heading(info->screen);
    if (rows.size() > LIST_PAGE_ROWS) {
        std::string page = "Page " + std::to_string(first / LIST_PAGE_ROWS + 1) + " of " +
                           std::to_string((rows.size() + LIST_PAGE_ROWS - 1) / LIST_PAGE_ROWS) +
                           ": Page Up, Page Down";
        // Under the page's last row, beside the load button.
        draw_text(page.c_str(), 10, 110, 90, 60, PAGE_NUMBER_RIGHT - text_width(page.c_str(), 10), PAGE_NUMBER_Y,
                  info->screen);
    }
    present_screen(info->screen);
}

bool LevelSelect::shows_records() const {
    return std::any_of(rows.begin(), rows.end(), [this](const Row& row) {
        return records.best(row.name) != nullptr || row.par.steps || row.par.parts || row.par.code;
    });
}

// Turns to the next or the previous page of a list longer than the window;
// a highlight goes along to the same place on the new page.
bool LevelSelect::turn_page(SDLKey key) {
    size_t before = first;
    if (key == SDLK_PAGEDOWN && first + LIST_PAGE_ROWS < rows.size())
        first += LIST_PAGE_ROWS;
    else if (key == SDLK_PAGEUP && first > 0)
        first -= LIST_PAGE_ROWS;
    else
        return false;
    if (highlight >= 0)
        highlight = std::min(highlight + static_cast<int>(first) - static_cast<int>(before),
                             static_cast<int>(rows.size()) - 1);
    return true;
}

bool LevelSelect::move_highlight(SDLKey key) {
    if ((key != SDLK_DOWN && key != SDLK_UP) || rows.empty())
        return false;
    int last = static_cast<int>(rows.size()) - 1;
    int step = key == SDLK_DOWN ? 1 : -1;
    int next = highlight < 0 ? static_cast<int>(first) : std::clamp(highlight + step, 0, last);
    highlight_by_pointer = false;
    if (next == highlight)
        return false;
    highlight = next;
    first = static_cast<size_t>(highlight) / LIST_PAGE_ROWS * LIST_PAGE_ROWS;
    return true;
}

bool LevelSelect::point_at(int x, int y) {
    int shown = static_cast<int>(std::min(rows.size() - first, size_t{LIST_PAGE_ROWS}));
    int row = load_button_hit(x, y) ? -1 : level_row_at(y, shown);
    // Off the rows, a highlight the keys made stays.
    int next = row >= 0 ? static_cast<int>(first) + row : highlight_by_pointer ? -1 : highlight;
    if (row >= 0)
        highlight_by_pointer = true;
    if (next == highlight)
        return false;
    highlight = next;
    return true;
}

bool LevelSelect::handle_event(const SDL_Event& event, bool& redraw) {
    if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE))
        return false;
    if (event.type == SDL_KEYDOWN && (turn_page(event.key.keysym.sym) || move_highlight(event.key.keysym.sym)))
        redraw = true;
    if (event.type == SDL_MOUSEMOTION && point_at(event.motion.x, event.motion.y))
        redraw = true;
    bool enter = event.type == SDL_KEYDOWN &&
                 (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER);
    if (enter && highlight >= 0) {
        open_level(rows[static_cast<size_t>(highlight)].name);
        redraw = true;
    }
    if (event.type != SDL_MOUSEBUTTONDOWN)
        return true;
    // The load button lies over the rows' area and wins.
    if (load_button_hit(event.button.x, event.button.y)) {
        open_save();
        redraw = true;
        return true;
    }
    int row = level_row_at(event.button.y, static_cast<int>(std::min(rows.size() - first, size_t{LIST_PAGE_ROWS})));
    if (row >= 0) {
        // The level opened by a press is where the arrow keys go on from.
        highlight = static_cast<int>(first) + row;
        highlight_by_pointer = false;
        open_level(rows[static_cast<size_t>(highlight)].name);
        redraw = true;
    }
    return true;
}

void level_select(GameInfo* info) {
    LevelSelect list(info);
    list.draw();
    for (;;) {
        SDL_Delay(WAIT_MS);
        bool redraw = false;
        SDL_Event event;
        // Events queued while a level was open are handled before the list
        // is drawn again.
        while (SDL_PollEvent(&event))
            if (!list.handle_event(event, redraw))
                return;
        if (redraw)
            list.draw();
    }
}
