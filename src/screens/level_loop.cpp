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
#include "screens/win_gif.h"
#include "toolkit/pictures.h"
#include "toolkit/present.h"
#include "toolkit/sdl_canvas.h"
#include "view/floor_view.h"
#include "view/floor_overlays.h"

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

bool ctrl_key_down(const SDL_Event& event, SDLKey key) {
    return key_down(event, key) && (event.key.keysym.mod & KMOD_CTRL) != 0;
}

// The status line's word while the inspection view is on.
constexpr const char* INSPECTION_NOTE = "Inspection view: glue, groups, catchers, names.  I: off";

bool press_in(const SDL_Event& event, const Area& area) {
    return event.type == SDL_MOUSEBUTTONDOWN && area.contains(event.button.x, event.button.y);
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

LevelLoop::LevelLoop(GameInfo* info, Level* level, const Par& par, Records* records)
    : info_(info), level_(level), par_(par), records_(records) {
    editor_ = std::make_unique<EditorGUI>(info->screen);
    parts_bin_.restore(info->workshop.bin);
    if (level->init_code)
        set_program(*level->init_code, level->cycle_code.value_or(""));
}

LevelLoop::~LevelLoop() { info_->workshop.bin = parts_bin_.choices(); }

// As fast as possible, a run takes no sleep: its frames fill the time.
void LevelLoop::run() {
    for (;;) {
        if (mode_ != LoopMode::simulation || paused_ || speed_ != RunSpeed::fastest)
            clock_.tick(FRAMES_PER_SECOND);
        if (!step())
            return;
    }
}

bool LevelLoop::step() {
    // Events are handled by the mode the frame began in; a change of mode
    // takes effect with the next frame.
    LoopMode frame_mode = mode_;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        construction_shown_with_.reset();
        if (!handle_event(event, frame_mode))
            return false;
    }
    bool building = frame_mode == LoopMode::construction && mode_ == frame_mode;
    if (building && construction_shown_with_ == status_.text())
        return true;
    frame_work(frame_mode);
    present_screen(info_->screen);
    if (building)
        construction_shown_with_ = status_.text();
    else
        construction_shown_with_.reset();
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
        if (quit(info_))
            return false;
    }
    if (key_down(event, SDLK_i))
        toggle_inspection();
    if (ctrl_key_down(event, SDLK_z) && !dragged_)
        move_through_history(&ConstructionHistory::undo, "Undone. Ctrl+Y does it again.", "Nothing to undo.");
    if (ctrl_key_down(event, SDLK_y) && !dragged_)
        move_through_history(&ConstructionHistory::redo, "Done again. Ctrl+Z undoes it.", "Nothing to redo.");
    if (key_down(event, SDLK_SPACE))
        start();
    if (key_down(event, SDLK_s))
        start(Pace::step_by_step);
    if (left_press(event) && RUN_BUTTON.contains(event.button.x, event.button.y))
        start();
    if (key_down(event, SDLK_TAB))
        enter_editor();
    if (key_down(event, SDLK_c))
        console_open_ = !console_open_;
    if (event.type == SDL_KEYDOWN && event.key.keysym.sym >= SDLK_1 && event.key.keysym.sym <= SDLK_3)
        parts_bin_.goto_page(event.key.keysym.sym - SDLK_1);
    if (left_press(event))
        press_in_construction(event.button.x, event.button.y);
    if (event.type == SDL_MOUSEBUTTONUP && event.button.button == SDL_BUTTON_LEFT && dragged_)
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
    editor_->push_input(event);
}

// A paused run hears S and Space; what stops a run stops it too. F sets the
// speed and C opens or closes the console.
void LevelLoop::handle_simulation(const SDL_Event& event) {
    if (key_down(event, SDLK_i))
        toggle_inspection();
    if (key_down(event, SDLK_f))
        speed_ = next_speed(speed_);
    else if (key_down(event, SDLK_c))
        console_open_ = !console_open_;
    else if (paused_ && key_down(event, SDLK_s))
        ++steps_asked_;
    else if (paused_ && key_down(event, SDLK_SPACE))
        paused_ = false;
    else if (event.type == SDL_QUIT || key_down(event, SDLK_ESCAPE) || key_down(event, SDLK_SPACE) ||
             press_in(event, RUN_BUTTON))
        mode_ = LoopMode::construction;
}

void LevelLoop::start(Pace pace) {
    if (!start_run(pace))
        show_run_error();
}

bool LevelLoop::start_run(Pace pace) {
    construction_shown_with_.reset();
    end_drag();
    status_.clear();
    paused_ = pace == Pace::step_by_step;
    steps_asked_ = 0;
    if (!run_.start(*level_, init_code_))
        return false;
    mode_ = LoopMode::simulation;
    return true;
}

void LevelLoop::stop_run() {
    construction_shown_with_.reset();
    mode_ = LoopMode::construction;
    paused_ = false;
    level_->reset();
}

void LevelLoop::set_program(const std::string& init_code, const std::string& cycle_code) {
    construction_shown_with_.reset();
    init_code_ = init_code;
    cycle_code_ = cycle_code;
    editor_->set_text(CodeBox::init, init_code);
    editor_->set_text(CodeBox::cycle, cycle_code);
}

// A device fresh from the bin goes back; one from the floor stays where it was.
void LevelLoop::end_drag() {
    dragged_ = nullptr;
    new_device_.reset();
}

void LevelLoop::pick_up(int px, int py) {
    Device* device = movable_device_at(*level_, px / CELL_PX, py / CELL_PX);
    if (device == nullptr)
        return;
    dragged_ = device;
    new_device_.reset();
    status_.clear();
    grab_x_ = px - CELL_PX * device->x;
    grab_y_ = py - CELL_PX * device->y;
}

void LevelLoop::take_from_bin(int px, int py) {
    new_device_ = parts_bin_.click(px - PartsBin::PANEL_X, py);
    dragged_ = new_device_.get();
    if (!dragged_)
        return;
    status_.clear();
    dragged_->x = px / CELL_PX;
    dragged_->y = py / CELL_PX;
    grab_x_ = px - CELL_PX * dragged_->x;
    grab_y_ = py - CELL_PX * dragged_->y;
}

// The drop goes where the preview showed it (see drop_preview); a refused
// one says why in the status line.
void LevelLoop::drop(int px, int py) {
    PartsSnapshot before(*level_);
    Device* device = dragged_;
    bool is_new = !level_->device_in_devices(device);
    int x = snap_to_cell(px - grab_x_);
    int y = snap_to_cell(py - grab_y_);
    Placement place = placement_at(*level_, *device, {x, y});
    bool onto_panel = px > PartsBin::PANEL_X;
    if (place.accepted()) {
        device->x = x;
        device->y = y;
        if (is_new) {
            int number = lowest_free_number(*level_, *device);
            level_->devices.push_back(std::move(new_device_));
            device->give_name(number);
        }
    } else if (!onto_panel) {
        status_.say(refusal_text(place, DropStage::dropped), StatusTone::refusal);
    }
    // Dropped on the panel: the device is thrown away.
    if (onto_panel)
        remove_device(*level_, device);
    end_drag();
    history_.commit(std::move(before), *level_);
}

void LevelLoop::move_through_history(bool (ConstructionHistory::*step)(Level&), const char* done,
                                     const char* nothing) {
    bool moved = (history_.*step)(*level_);
    status_.say(moved ? done : nothing, moved ? StatusTone::news : StatusTone::refusal);
}

void LevelLoop::toggle_inspection() {
    bool on = !inspecting();
    info_->workshop.look = on ? FloorLook::inspection : FloorLook::plain;
    status_.say(on ? INSPECTION_NOTE : "Plain view.  I: inspection view");
}

// The floor as the player chose to see it; the inspection view places the
// name under the pointer first.
void LevelLoop::draw_floor_view(Phase phase, const DraggedDevice* dragged) {
    SdlCanvas canvas(info_->screen);
    if (!inspecting()) {
        draw_floor(canvas, *level_, phase, dragged);
        return;
    }
    Inspection inspection;
    int pointer_x = 0, pointer_y = 0;
    SDL_GetMouseState(&pointer_x, &pointer_y);
    if (FLOOR_AREA.contains(pointer_x, pointer_y))
        inspection.pointer = FloorCell{pointer_x / CELL_PX, pointer_y / CELL_PX};
    draw_floor(canvas, *level_, phase, dragged, &inspection);
}

// Where the dragged device would land if let go at the pointer, as the drop
// itself decides it; letting go over the bin removes it.
std::optional<DropOutline> LevelLoop::drop_preview(int px, int py) {
    if (px > PartsBin::PANEL_X) {
        draw_status(info_->screen, "Let go here to put it back in the bin.", StatusTone::news);
        return std::nullopt;
    }
    int x = snap_to_cell(px - grab_x_);
    int y = snap_to_cell(py - grab_y_);
    Placement place = placement_at(*level_, *dragged_, {x, y});
    if (!place.accepted())
        draw_status(info_->screen, refusal_text(place, DropStage::dragging), StatusTone::refusal);
    return DropOutline{cells_covered_at(*dragged_, {x, y}), place.accepted()};
}

// The level still stands as the program saw it, so the hint can count its
// parts.
void LevelLoop::show_run_error() {
    error(info_, run_.error().c_str(), error_hint(run_.failure(), *level_));
}

void LevelLoop::enter_editor() {
    mode_ = LoopMode::editing;
    SDL_EnableKeyRepeat(500, 10);
}

// Keys typed in the same frame as the one that leaves are still waiting in
// the editor: they go in before the texts are taken.
void LevelLoop::leave_editor() {
    mode_ = LoopMode::construction;
    SDL_EnableKeyRepeat(0, 30);
    editor_->logic();
    init_code_ = editor_->text(CodeBox::init);
    cycle_code_ = editor_->text(CodeBox::cycle);
}

void LevelLoop::save_game() {
    std::optional<std::string> path =
        choose_file(info_->screen, ChooserMode::Save, SAVES_FOLDER, proposed_save_name(level_->level_name));
    if (!path)
        return;
    std::string program = program_save_text(editor_->rows(CodeBox::init), editor_->rows(CodeBox::cycle));
    std::string failure;
    if (!save_level(*level_, path->c_str(), program, &failure))
        error(info_, failure.c_str());
    else
        status_.say("Saved to " + shown_path(*path));
}

void LevelLoop::frame_work(LoopMode frame_mode) {
    switch (frame_mode) {
    case LoopMode::construction: construction_frame(); break;
    case LoopMode::editing: editing_frame(); break;
    case LoopMode::simulation: simulation_frame(); break;
    }
}

void LevelLoop::construction_frame() {
    draw_image(background(CONSTRUCTION_BACKGROUND), 0, 0, info_->screen);
    parts_bin_.draw(info_->screen);
    if (inspecting())
        draw_status(info_->screen, INSPECTION_NOTE, StatusTone::news);
    status_.draw(info_->screen);
    int pointer_x = 0, pointer_y = 0;
    SDL_GetMouseState(&pointer_x, &pointer_y);
    std::optional<DropOutline> outline = dragged_ ? drop_preview(pointer_x, pointer_y) : std::nullopt;
    DraggedDevice dragged{dragged_, pointer_x - grab_x_, pointer_y - grab_y_, outline ? &*outline : nullptr};
    draw_floor_view(Phase::building, dragged_ ? &dragged : nullptr);
    if (!dragged_ && BIN_AREA.contains(pointer_x, pointer_y))
        parts_bin_.draw_preview(info_->screen, pointer_x - PartsBin::PANEL_X, pointer_y);
    draw_console_if_open();
}

void LevelLoop::draw_console_if_open() {
    if (console_open_)
        draw_console(info_->screen, run_.printed());
}

void LevelLoop::editing_frame() {
    draw_image(background(EDITING_BACKGROUND), 0, 0, info_->screen);
    editor_->logic();
    editor_->draw();
}

// A paused run only shows the floor, one frame goes for each S, and stopping
// it steps no more.
void LevelLoop::simulation_frame() {
    if (paused_ && mode_ != LoopMode::simulation) {
        paused_ = false;
        level_->reset();
    } else if (paused_ && steps_asked_ == 0) {
        draw_run();
    } else if (paused_) {
        --steps_asked_;
        run_frame(Shown::current, Drawing::draw);
    } else {
        run_frames(frames_per_picture(speed_));
    }
}

// Several frames for one picture: only the last is drawn, and a win or an
// error ends them early. As fast as possible, they end when the frame's
// time is used up.
void LevelLoop::run_frames(int frames) {
    Uint32 start = SDL_GetTicks();
    for (int i = 0; i < frames; ++i) {
        bool last = i + 1 == frames || (speed_ == RunSpeed::fastest && SDL_GetTicks() - start >= FASTEST_WORK_MS);
        if (!run_frame(i == 0 ? Shown::current : Shown::behind, last ? Drawing::draw : Drawing::skip) || last)
            return;
    }
}

void LevelLoop::draw_run() {
    draw_image(background(SIMULATION_BACKGROUND), 0, 0, info_->screen);
    if (inspecting())
        draw_status(info_->screen, INSPECTION_NOTE, StatusTone::news);
    draw_floor_view(Phase::running, nullptr);
    // The paused plate shows the step in the counter's place.
    if (paused_)
        draw_paused_run(info_->screen, level_->ticks);
    else
        draw_step_counter(info_->screen, level_->ticks, par_);
    draw_run_speed(info_->screen, speed_);
    draw_console_if_open();
}

// The win screen shows over the last frame's picture; the frame then still
// runs the program and steps once more before the level is reset. A frame
// whose floor is not on the screen yet draws it first under a card. False
// once the run has ended.
bool LevelLoop::run_frame(Shown shown, Drawing drawing) {
    if (shown == Shown::behind && level_->win())
        draw_run();
    FrameResult frame = run_.frame(*level_, cycle_code_);
    if (frame.won) {
        show_win(frame.steps);
        mode_ = LoopMode::construction;
    }
    if (frame.failed) {
        if (shown == Shown::behind)
            draw_run();
        show_run_error();
        mode_ = LoopMode::construction;
        level_->clear_blocks();
    } else if (drawing == Drawing::draw || mode_ != LoopMode::simulation) {
        draw_run();
    }
    if (mode_ == LoopMode::simulation)
        return true;
    paused_ = false;
    level_->reset();
    return false;
}

// The machine is measured as it stood when the win test passed, and its
// metrics kept before the win card shows them.
void LevelLoop::show_win(int steps) {
    WinReport report;
    report.run = measure_win(*level_, steps, init_code_, cycle_code_);
    report.par = par_;
    if (records_ != nullptr) {
        report.records = records_->record(level_->level_name, report.run);
        if (!report.records->failure.empty())
            std::fprintf(stderr, "%s\n", report.records->failure.c_str());
    }
    // The card's key writes the GIF of the machine; the news outlasts the card.
    auto write_gif = [this](SDLKey key) {
        if (key != GIF_KEY)
            return;
        GifNews news = write_machine_gif(info_->screen, *level_, init_code_, cycle_code_, par_);
        status_.say(news.text, news.written ? StatusTone::news : StatusTone::refusal);
    };
    auto draw_over = [&report](SDL_Surface* screen) {
        draw_win_metrics(screen, report);
        draw_gif_key(screen);
    };
    win(info_, draw_over, write_gif);
}

void run_level(GameInfo* info, Level* level, Records* records, const Par& par) {
    LevelLoop loop(info, level, par, records);
    loop.run();
}
