#ifndef GEARLOFT_SCREENS_LEVEL_LOOP_H
#define GEARLOFT_SCREENS_LEVEL_LOOP_H

#include <SDL.h>

#include <memory>
#include <optional>
#include <string>

#include "editorgui/editor_gui.h"
#include "files/level_file.h"
#include "files/records.h"
#include "level/construction_history.h"
#include "partsbin/parts_bin.h"
#include "run/run.h"
#include "screens/clock.h"
#include "screens/game_info.h"
#include "screens/run_tools.h"
#include "screens/status_line.h"
#include "toolkit/toolkit.h"
#include "view/floor_view.h"

class Device;
class Level;

// What the player is doing with the open level.
enum class LoopMode { construction, editing, simulation };

// How a run goes: frame after frame, or one frame for each S.
enum class Pace { full, step_by_step };

// Everything that lives while one level is open: the mode, the player's two
// program texts, the current run, the parts bin, the editor and the device
// being dragged. `run_level` drives it frame by frame; tests and the bench
// drive the same steps with queued events.
class LevelLoop {
public:
    // `par` is the level file's, shown while running and on winning; a win
    // updates `records` when they are given.
    LevelLoop(GameInfo* info, Level* level, const Par& par = Par(), Records* records = nullptr);
    ~LevelLoop();
    LevelLoop(const LevelLoop&) = delete;
    LevelLoop& operator=(const LevelLoop&) = delete;

    // Frames until the player leaves the level.
    void run();
    // One frame without its sleep: every pending event, the mode's work and
    // drawing, the flip (a building frame with no input and no news gone or
    // come shows what the last one showed, and is skipped). False when the
    // player chose to leave.
    bool step();
    // Handles one event under the mode the frame began with; false to leave.
    bool handle_event(const SDL_Event& event, LoopMode frame_mode);
    // The work and drawing of a frame that began in `frame_mode`.
    void frame_work(LoopMode frame_mode);

    // Starts a run as the run button does, but says nothing of a failure:
    // false, with `run_error` telling why, when the program failed.
    bool start_run(Pace pace = Pace::full);
    // Stops a run as the stop button does: back to building, the level reset.
    void stop_run();
    // Puts both program texts in place, as if typed into the editor.
    void set_program(const std::string& init_code, const std::string& cycle_code);

    LoopMode mode() const { return mode_; }
    // A run started with S stands still until the next S.
    bool paused() const { return paused_; }
    // How fast runs go (F while running); kept while the level is open.
    RunSpeed speed() const { return speed_; }
    // The console of what the program printed is shown (C).
    bool console_open() const { return console_open_; }
    // The device the player drags, if any.
    const Device* dragged() const { return dragged_; }
    const std::string& init_code() const { return init_code_; }
    const std::string& cycle_code() const { return cycle_code_; }
    // What the status line says now; empty when it shows nothing.
    const std::string& status_text() const { return status_.text(); }
    const std::string& run_error() const { return run_.error(); }
    // Whether the floor shows in the inspection view; the choice outlasts
    // the level.
    bool inspecting() const { return info_->workshop.look == FloorLook::inspection; }

private:
    GameInfo* info_;
    Level* level_;
    // The level file's par, shown while running and on winning.
    Par par_;
    // The player's records, which a win updates; none in a loop that keeps
    // no records.
    Records* records_;
    LoopMode mode_ = LoopMode::construction;
    std::string init_code_;
    std::string cycle_code_;
    Run run_;
    Clock clock_;
    // The device being dragged: one of the level's, or `new_device_` fresh
    // from the parts bin.
    Device* dragged_ = nullptr;
    std::unique_ptr<Device> new_device_;
    int grab_x_ = 0;
    int grab_y_ = 0;
    PartsBin parts_bin_;
    std::unique_ptr<EditorGUI> editor_;
    // Step by step: a run started with S stands still until the next S,
    // which runs one frame; Space goes on at full pace.
    bool paused_ = false;
    int steps_asked_ = 0;
    RunSpeed speed_ = RunSpeed::normal;
    bool console_open_ = false;
    StatusLine status_;
    // The parts as they stood before each change made while building.
    ConstructionHistory history_;
    // The status line's news when the construction picture on the screen
    // was drawn, while no input has come since: such a picture changes only
    // when the news does, so it is neither drawn nor presented again.
    std::optional<std::string> construction_shown_with_;

    bool handle_construction(const SDL_Event& event);
    void handle_editing(const SDL_Event& event);
    void handle_simulation(const SDL_Event& event);
    void press_in_construction(int px, int py);
    void start(Pace pace = Pace::full);
    void show_run_error();
    void end_drag();
    void pick_up(int px, int py);
    void take_from_bin(int px, int py);
    void drop(int px, int py);
    void move_through_history(bool (ConstructionHistory::*step)(Level&), const char* done, const char* nothing);
    void toggle_inspection();
    void draw_floor_view(Phase phase, const DraggedDevice* dragged);
    std::optional<DropOutline> drop_preview(int px, int py);
    void enter_editor();
    void leave_editor();
    void save_game();
    void construction_frame();
    void editing_frame();
    void simulation_frame();
    void show_win(int steps);
    void run_frames(int frames);
    // Whether the screen shows the floor as the next frame finds it.
    enum class Shown { current, behind };
    enum class Drawing { draw, skip };
    bool run_frame(Shown shown, Drawing drawing);
    void draw_run();
    void draw_console_if_open();
};

// Runs the level until the player leaves it, keeping the records of its
// wins when there are records to keep.
void run_level(GameInfo* info, Level* level, Records* records = nullptr, const Par& par = Par());

// The file name the save chooser proposes: the level's, as a save
// ("01-first-belt.sav" for "01-first-belt.lvl").
std::string proposed_save_name(const std::string& level_name);
// A saved file's path as the status line shows it: inside the game's folder
// from there, else whole.
std::string shown_path(const std::string& path);

#endif
