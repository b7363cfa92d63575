#include "main/startup.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/fatal_message.h"
#include "core/file_chooser.h"
#include "core/level_loop.h"
#include "core/screens.h"
#include "files/device_record.h"
#include "files/save_file.h"
#include "main/level_list.h"
#include "toolkit/toolkit.h"

namespace {
constexpr Uint32 WAIT_MS = 50;

// Plays a level that was read from a file, or says why it cannot be played.
void play(GameInfo* info, const LoadResult& loaded) {
    switch (load_outcome(loaded)) {
    case LoadOutcome::open: run_level(info, loaded.level.get()); break;
    case LoadOutcome::show_error: error(info, loaded.message.c_str()); break;
    case LoadOutcome::fatal: fatal_message(info->screen, INVALID_RECORD_TITLE, loaded.message.c_str());
    }
}
} // namespace

void init(GameInfo* info) {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_EnableUNICODE(1);
    TTF_Init();
    SDL_WM_SetCaption("Gearloft - Brasswick", "Gearloft - Brasswick");
    info->screen = SDL_SetVideoMode(800, 600, 16, 0);
}

void load_save(GameInfo* info) {
    std::optional<std::string> path = choose_file(info->screen, ChooserMode::Open);
    if (!path)
        return;
    play(info, load_level(path->c_str(), 1));
}

LevelSelect::LevelSelect(GameInfo* info) : info(info) {
    for (const std::string& name : order_by_difficulty(find_levels()))
        rows.push_back({name, level_row_text(get_level_difficulty_from_file(name), get_level_desc_from_file(name))});
    open_level = [info](const std::string& name) {
        play(info, load_level(name.c_str(), 0));
    };
    open_save = [info] { load_save(info); };
}

void LevelSelect::draw() {
    Picture background = load_picture("img/background_selection.gif", false);
    draw_image(background.get(), 0, 0, info->screen);
    if (highlight >= static_cast<int>(first) && highlight < static_cast<int>(first + LIST_PAGE_ROWS))
        draw_row_highlight(info->screen, highlight - static_cast<int>(first));
    for (size_t i = first; i < rows.size() && i < first + LIST_PAGE_ROWS; ++i)
        draw_text(rows[i].text.c_str(), 10, 0, 0, 0, LIST_LEFT,
                  LIST_TOP + LIST_ROW_HEIGHT * static_cast<int>(i - first), info->screen);
    if (rows.size() > LIST_PAGE_ROWS) {
        std::string page = "Page " + std::to_string(first / LIST_PAGE_ROWS + 1) + " of " +
                           std::to_string((rows.size() + LIST_PAGE_ROWS - 1) / LIST_PAGE_ROWS) +
                           ": Page Up, Page Down";
        draw_text(page.c_str(), 10, 238, 228, 204, 560, 64, info->screen);
    }
    SDL_Flip(info->screen);
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
        open_level(rows[first + static_cast<size_t>(row)].name);
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
