#include "screens/level_loop.h"

#include <cstdio>
#include <filesystem>

#include "devices/device.h"
#include "files/save_file.h"
#include "level/level.h"
#include "run/error_hint.h"
#include "run/measure.h"
#include "screens/dropping.h"
#include "screens/file_chooser.h"
#include "screens/message_screens.h"
#include "screens/metrics_panel.h"
#include "toolkit/pictures.h"
#include "toolkit/sdl_canvas.h"
#include "view/floor_view.h"

namespace {
constexpr int FRAMES_PER_SECOND = 45;

struct Area {
    int x0, x1, y0, y1;
    bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};
constexpr Area FLOOR_AREA{0, 649, 0, 549};
constexpr Area BIN_AREA{650, 799, 0, 549};
constexpr Area SAVE_BUTTON{22, 83, 561, 586};
constexpr Area RUN_BUTTON{453, 617, 560, 587};
constexpr Area EDIT_BUTTON{651, 770, 561, 587};
constexpr Area BACK_BUTTON{651, 769, 11, 35};

// The backgrounds of the three modes, from the picture cache.
SDL_Surface* background(const char* file) { return cached_picture(file); }
constexpr const char* CONSTRUCTION_BACKGROUND = "img/background_construction.gif";
constexpr const char* EDITING_BACKGROUND = "img/background_editing.gif";
constexpr const char* SIMULATION_BACKGROUND = "img/background_simulation.gif";

bool key_down(const SDL_Event& event, SDLKey key) {
    return event.type == SDL_KEYDOWN && event.key.keysym.sym == key;
}

bool left_press(const SDL_Event& event) {
    return event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT;
}

bool press_in(const SDL_Event& event, const Area& area) {
    return event.type == SDL_MOUSEBUTTONDOWN && area.contains(event.button.x, event.button.y);
}

// Saved code keeps each row followed by a line end; the editor shows the rows
// themselves, so the last line end must not become an extra empty row.
std::string rows_for_editor(const std::string& code) {
    if (!code.empty() && code.back() == '\n')
        return code.substr(0, code.size() - 1);
    return code;
}
} // namespace

std::string proposed_save_name(const std::string& level_name) {
    std::string stem = std::filesystem::path(level_name).stem().string();
    return (stem.empty() || stem[0] == '.' ? "machine" : stem) + FileChooserModel::DEFAULT_EXTENSION;
}

std::string shown_path(const std::string& path) {
    std::error_code ec;
    std::filesystem::path relative = std::filesystem::relative(path, std::filesystem::current_path(ec), ec);
    if (ec || relative.empty() || *relative.begin() == "..")
        return path;
    return relative.string();
}

std::string saved_program_text(EditorGUI& editor) {
    return program_save_text(rows_of(*editor.init_box), rows_of(*editor.cycle_box));
}

LevelLoop::LevelLoop(GameInfo* info, Level* level, const Par& par) : info(info), level(level), par(par) {
    editor = std::make_unique<EditorGUI>(info->screen);
    if (level->init_code) {
        init_code = *level->init_code;
        cycle_code = level->cycle_code.value_or("");
        editor->init_box->setText(rows_for_editor(init_code));
        editor->cycle_box->setText(rows_for_editor(cycle_code));
    }
}

LevelLoop::~LevelLoop() = default;

void LevelLoop::run() {
    for (;;) {
        clock.tick(FRAMES_PER_SECOND);
        if (!step())
            return;
    }
}

bool LevelLoop::step() {
    // Events are handled by the mode the frame began in; a change of mode
    // takes effect with the next frame.
    LoopMode frame_mode = mode;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (!handle_event(event, frame_mode))
            return false;
    frame_work(frame_mode);
    SDL_Flip(info->screen);
    return true;
}

bool LevelLoop::handle_event(const SDL_Event& event, LoopMode frame_mode) {
    switch (frame_mode) {
    case LoopMode::construction: return handle_construction(event);
    case LoopMode::editing: handle_editing(event); return true;
    case LoopMode::simulation: handle_simulation(event); return true;
    }
    return true;
}

bool LevelLoop::handle_construction(const SDL_Event& event) {
    if (event.type == SDL_QUIT || key_down(event, SDLK_ESCAPE)) {
        if (quit(info))
            return false;
    }
    if (key_down(event, SDLK_SPACE))
        start();
    if (key_down(event, SDLK_s))
        start(Pace::step_by_step);
    if (left_press(event) && RUN_BUTTON.contains(event.button.x, event.button.y))
        start();
    if (key_down(event, SDLK_TAB))
        enter_editor();
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym >= SDLK_1 && event.key.keysym.sym <= SDLK_3)
        parts_bin.goto_page(event.key.keysym.sym - SDLK_1);
    if (left_press(event))
        press_in_construction(event.button.x, event.button.y);
    if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT && held)
        drop(event.button.x, event.button.y);
    return true;
}

void LevelLoop::press_in_construction(int px, int py) {
    if (FLOOR_AREA.contains(px, py))
        pick_up(px, py);
    else if (BIN_AREA.contains(px, py))
        take_from_bin(px, py);
    else if (SAVE_BUTTON.contains(px, py))
        save_game();
    else if (EDIT_BUTTON.contains(px, py))
        enter_editor();
}

void LevelLoop::handle_editing(const SDL_Event& event) {
    if (event.type == SDL_QUIT || key_down(event, SDLK_ESCAPE) || press_in(event, BACK_BUTTON))
        leave_editor();
    // The editor sees every event, the one that closed it included.
    SDL_Event copy = event;
    editor->push_input(&copy);
}

// A paused run hears S and Space; what stops a run stops it too.
void LevelLoop::handle_simulation(const SDL_Event& event) {
    if (paused && key_down(event, SDLK_s))
        ++steps_asked;
    else if (paused && key_down(event, SDLK_SPACE))
        paused = false;
    else if (event.type == SDL_QUIT || key_down(event, SDLK_ESCAPE) || key_down(event, SDLK_SPACE) ||
             press_in(event, RUN_BUTTON))
        mode = LoopMode::construction;
}

void LevelLoop::start(Pace pace) {
    end_drag();
    status.clear();
    paused = pace == Pace::step_by_step;
    steps_asked = 0;
    if (run_state.start(*level, init_code))
        mode = LoopMode::simulation;
    else
        show_run_error();
}

// A device fresh from the bin goes back; one from the floor stays where it was.
void LevelLoop::end_drag() {
    held = nullptr;
    new_device.reset();
}

void LevelLoop::pick_up(int px, int py) {
    Device* device = movable_device_at(*level, px / CELL_PX, py / CELL_PX);
    if (device == nullptr)
        return;
    held = device;
    new_device.reset();
    status.clear();
    grab_x = px - CELL_PX * device->x;
    grab_y = py - CELL_PX * device->y;
}

void LevelLoop::take_from_bin(int px, int py) {
    new_device = parts_bin.click(px - PartsBin::PANEL_X, py);
    held = new_device.get();
    if (!held)
        return;
    status.clear();
    held->x = px / CELL_PX;
    held->y = py / CELL_PX;
    grab_x = px - CELL_PX * held->x;
    grab_y = py - CELL_PX * held->y;
}

// The drop goes where the preview showed it (see drop_preview); a refused
// one says why in the status line.
void LevelLoop::drop(int px, int py) {
    Device* device = held;
    bool is_new = !level->device_in_devices(device);
    int x = snap_to_cell(px - grab_x);
    int y = snap_to_cell(py - grab_y);
    Placement place = placement_at(*level, *device, {x, y});
    bool onto_panel = px > PartsBin::PANEL_X;
    if (place.accepted()) {
        device->x = x;
        device->y = y;
        if (is_new) {
            int number = lowest_free_number(*level, *device);
            level->devices.push_back(std::move(new_device));
            device->give_name(number);
        }
    } else if (!onto_panel) {
        status.say(refusal_text(place, DropStage::dropped), StatusTone::refusal);
    }
    // Dropped on the panel: the device is thrown away.
    if (onto_panel)
        remove_device(*level, device);
    end_drag();
}

// Where the held device would land if let go at the pointer, as the drop
// itself decides it; letting go over the bin removes it.
std::optional<DropOutline> LevelLoop::drop_preview(int px, int py) {
    if (px > PartsBin::PANEL_X) {
        draw_status(info->screen, "Let go here to put it back in the bin.", StatusTone::news);
        return std::nullopt;
    }
    int x = snap_to_cell(px - grab_x);
    int y = snap_to_cell(py - grab_y);
    Placement place = placement_at(*level, *held, {x, y});
    if (!place.accepted())
        draw_status(info->screen, refusal_text(place, DropStage::dragging), StatusTone::refusal);
    return DropOutline{cells_covered_at(*held, {x, y}), place.accepted()};
}

// The level still stands as the program saw it, so the hint can count its
// parts.
void LevelLoop::show_run_error() {
    error(info, run_state.error().c_str(), error_hint(run_state.error(), *level));
}

void LevelLoop::enter_editor() {
    mode = LoopMode::editing;
    SDL_EnableKeyRepeat(500, 10);
}

void LevelLoop::leave_editor() {
    mode = LoopMode::construction;
    SDL_EnableKeyRepeat(0, 30);
    init_code = text_of_rows(*editor->init_box);
    cycle_code = text_of_rows(*editor->cycle_box);
}

void LevelLoop::save_game() {
    std::optional<std::string> path =
        choose_file(info->screen, ChooserMode::Save, SAVES_FOLDER, proposed_save_name(level->level_name));
    if (!path)
        return;
    std::string failure;
    if (!save_level(*level, path->c_str(), saved_program_text(*editor), &failure))
        error(info, ("Could not save: " + failure).c_str());
    else
        status.say("Saved to " + shown_path(*path));
}

void LevelLoop::frame_work(LoopMode frame_mode) {
    switch (frame_mode) {
    case LoopMode::construction: construction_frame(); break;
    case LoopMode::editing: editing_frame(); break;
    case LoopMode::simulation: simulation_frame(); break;
    }
}

void LevelLoop::construction_frame() {
    draw_image(background(CONSTRUCTION_BACKGROUND), 0, 0, info->screen);
    parts_bin.draw(info->screen);
    status.draw(info->screen);
    int pointer_x = 0, pointer_y = 0;
    SDL_GetMouseState(&pointer_x, &pointer_y);
    std::optional<DropOutline> outline = held ? drop_preview(pointer_x, pointer_y) : std::nullopt;
    DraggedDevice dragged{held, pointer_x - grab_x, pointer_y - grab_y, outline ? &*outline : nullptr};
    SdlCanvas canvas(info->screen);
    draw_floor(canvas, *level, Phase::building, held ? &dragged : nullptr);
}

void LevelLoop::editing_frame() {
    draw_image(background(EDITING_BACKGROUND), 0, 0, info->screen);
    editor->logic();
    editor->draw();
}

// A paused run only shows the floor, one frame goes for each S, and stopping
// it steps no more.
void LevelLoop::simulation_frame() {
    if (paused && mode != LoopMode::simulation) {
        paused = false;
        level->reset();
    } else if (paused && steps_asked == 0) {
        draw_run();
    } else {
        steps_asked -= paused ? 1 : 0;
        run_frame();
    }
}

void LevelLoop::draw_run() {
    draw_image(background(SIMULATION_BACKGROUND), 0, 0, info->screen);
    SdlCanvas canvas(info->screen);
    draw_floor(canvas, *level, Phase::running);
    // The paused plate shows the step in the counter's place.
    if (paused)
        draw_paused_run(info->screen, level->ticks);
    else
        draw_step_counter(info->screen, level->ticks, par);
}

// The win screen shows over the last frame's picture; the frame then still
// runs the program and steps once more before the level is reset.
void LevelLoop::run_frame() {
    FrameResult frame = run_state.frame(*level, cycle_code);
    if (frame.won) {
        show_win(frame.steps);
        mode = LoopMode::construction;
    }
    if (frame.failed) {
        show_run_error();
        mode = LoopMode::construction;
        level->clear_blocks();
    } else {
        draw_run();
    }
    if (mode != LoopMode::simulation) {
        paused = false;
        level->reset();
    }
}

// The machine is measured as it stood when the win test passed, and its
// metrics kept before the win card shows them.
void LevelLoop::show_win(int steps) {
    WinReport report;
    report.run = measure_win(*level, steps, init_code, cycle_code);
    report.par = par;
    if (records != nullptr) {
        report.records = records->record(level->level_name, report.run);
        if (!report.records->failure.empty())
            std::fprintf(stderr, "%s\n", report.records->failure.c_str());
    }
    win(info, [&report](SDL_Surface* screen) { draw_win_metrics(screen, report); });
}

void run_level(GameInfo* info, Level* level, Records* records, const Par& par) {
    LevelLoop loop(info, level, par);
    loop.records = records;
    loop.run();
}
