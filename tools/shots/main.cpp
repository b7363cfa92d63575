// Renders review pictures of the game's look into a folder, as BMP files:
// a sample floor while building, while running (with its step counter) and
// paused, parts dragged over a free and a taken place, the level list (and
// the campaign's list with records and par), the load chooser with its saves,
// the editor, the parts bin pages, the message cards (errors with their hints,
// the win card with its metrics) and a contact sheet of every picture with
// every machine in each direction, all drawn by the game's own classes.
// Usage (from the game's working folder): gearloft-shots OUT_DIR
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "editorgui/editor_gui.h"
#include "kinds/converter.h"
#include "kinds/conveyer.h"
#include "kinds/grabber.h"
#include "kinds/indicator.h"
#include "kinds/pusher.h"
#include "kinds/sensor.h"
#include "kinds/sprayer.h"
#include "level/level.h"
#include "partsbin/parts_bin.h"
#include "run/error_hint.h"
#include "run/run.h"
#include "screens/dropping.h"
#include "screens/file_chooser.h"
#include "screens/level_list.h"
#include "screens/level_list_rows.h"
#include "screens/message_screens.h"
#include "screens/metrics_panel.h"
#include "screens/status_line.h"
#include "screens/win_gif.h"
#include "toolkit/pictures.h"
#include "toolkit/sdl_canvas.h"
#include "toolkit/toolkit.h"
#include "view/floor_view.h"

namespace {
std::string out_dir;

SDL_Surface* pic(const char* file) { return cached_picture((std::string("img/") + file).c_str()); }

void save(SDL_Surface* s, const char* name) {
    std::string path = out_dir + "/" + name + ".bmp";
    if (SDL_SaveBMP(s, path.c_str()) != 0)
        std::fprintf(stderr, "shots: cannot write %s\n", path.c_str());
}

Picture canvas(int w, int h) {
    Picture s(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 16, 0xF800, 0x07E0, 0x001F, 0));
    SDL_FillRect(s.get(), nullptr, SDL_MapRGB(s->format, 50, 56, 66));
    return s;
}

template <class T, class... Args> T* add(Level& level, int number, Args&&... args) {
    auto device = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = device.get();
    device->give_name(number);
    level.devices.push_back(std::move(device));
    return raw;
}

// A floor with a bit of everything on it, mid-run.
void furnish(Level& level) {
    level.catchers.push_back(std::make_unique<Catcher>(2, 1, 2, 1, "RR"));
    level.catchers.push_back(std::make_unique<Catcher>(16, 15, 2, 2, "UxUU"));
    level.catchers.back()->remaining = 3;
    level.spawners.push_back(std::make_unique<Spawner>(1, 10, 'R', 20));
    level.spawners.push_back(std::make_unique<Spawner>(1, 13, 'U', 20));
    const struct {
        int x, y, length, direction;
    } belts[] = {{1, 10, 9, 1}, {1, 13, 6, 1}, {10, 5, 5, 0}, {7, 13, 4, 2}, {12, 17, 5, 3}};
    for (const auto& b : belts)
        add<DeviceConveyer>(level, 0, b.x, b.y, Mobility::fixed, b.length, b.direction, 10)->frame = 2;
    for (int x : {3, 5, 7})
        level.add_block(x, 10, 'R');
    level.add_block(2, 13, 'U');
    level.add_block(4, 13, 'U');
    level.add_block(5, 13, 'U');
    level.groups[5][13] = level.groups[4][13];
    level.add_block(10, 7, 'R');
    level.sticky[10][7] = 1;
    level.add_block(8, 17, 'G');
    level.sticky[8][17] = 1;
    const char types[] = "RGUudDiMsWwTBtgYXCS";
    for (int i = 0; i < 19; ++i)
        level.add_block(2 + i, 20, static_cast<unsigned char>(types[i]));
    add<DevicePusher>(level, 0, 10, 11, Mobility::movable, DIR_UP)->extended = true;
    add<DevicePusher>(level, 1, 11, 7, Mobility::movable, DIR_LEFT);
    add<DeviceSensor>(level, 0, 8, 9, Mobility::movable, DIR_DOWN);
    add<DeviceSprayer>(level, 0, 9, 7, Mobility::movable, DIR_RIGHT)->spray_time = 3;
    add<DeviceIndicator>(level, 0, 6, 3, Mobility::movable, 0, 255, 0);
    add<DeviceIndicator>(level, 1, 7, 3, Mobility::movable, 255, 128, 0)->lit = true;
    DeviceGrabber* grabber = add<DeviceGrabber>(level, 0, 22, 1, Mobility::movable, 18, ClawSide::left);
    grabber->position = 6;
    grabber->holding = true;
    level.add_block(21, 7, 'M');
    level.set_held(21, 7, 1);
    add<DeviceConverter>(level, 0, 14, 8, Mobility::movable, 'R', 'G');
    level.add_block(16, 10, 'R');
}

// A par as the campaign's levels carry it.
const Par SAMPLE_PAR{431, 35, 90};

void floor_shot(SDL_Surface* screen, Level& level, bool building) {
    draw_image(pic(building ? "background_construction.gif" : "background_simulation.gif"), 0, 0, screen);
    if (building) {
        PartsBin bin;
        bin.draw(screen);
    }
    SdlCanvas canvas(screen);
    draw_floor(canvas, level, building ? Phase::building : Phase::running);
    if (!building)
        draw_step_counter(screen, 412, SAMPLE_PAR);
}

// A second win of a level: fewer steps than before, as many parts, a
// shorter program; the card offers the run's GIF.
void win_metrics_shot(SDL_Surface* screen, Level& level) {
    floor_shot(screen, level, false);
    draw_image(pic("win.gif"), 50, 350, screen);
    WinReport report;
    report.run = {412, 36, 84};
    report.par = SAMPLE_PAR;
    RecordOutcome records;
    records.before = Bests{455, 36, 96};
    records.bests = {412, 36, 84};
    records.new_steps = records.new_code = true;
    report.records = records;
    draw_win_metrics(screen, report);
    draw_gif_key(screen);
    save(screen, "message_win_metrics");
}

// The campaign's list (run in game/) with some levels solved: bests beside
// the rows, at, under and over par, kept in a records file of the shots'.
void records_list_shot(GameInfo& info) {
    std::remove((out_dir + "/records.txt").c_str());
    LevelSelect list(&info, out_dir + "/records.txt");
    const Metrics bests[] = {{301, 16, 0}, {300, 21, 0},  {290, 30, 0},  {241, 9, 18}, {400, 8, 5},
                             {331, 18, 0}, {421, 10, 45}, {711, 16, 28}, {871, 18, 72}};
    for (std::size_t i = 0; i < list.rows.size() && i < std::size(bests); ++i)
        list.records.record(list.rows[i].name, bests[i]);
    for (std::size_t i : {21, 22, 23})
        if (i < list.rows.size())
            list.records.record(list.rows[i].name, {1000, 20, 90});
    list.draw();
    save(info.screen, "level_list_records");
    std::remove((out_dir + "/records.txt").c_str());
}

void message_shot(SDL_Surface* screen, Level& level, const char* card, const char* name) {
    floor_shot(screen, level, true);
    draw_image(pic(card), 50, 350, screen);
    save(screen, name);
}

// The error card of a frame that runs `cycle_code` on the floor, which stays
// as it is: the program fails before the floor steps. A click waits in the
// queue, so the screen shows its message and returns.
void error_shot(SDL_Surface* screen, Level& level, const char* cycle_code, const char* name) {
    Run run;
    if (!run.start(level, "") || !run.frame(level, cycle_code).failed)
        std::fprintf(stderr, "shots: the program for %s does not fail as it should\n", name);
    floor_shot(screen, level, true);
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    SDL_PushEvent(&click);
    GameInfo info{screen};
    error(&info, run.error().c_str(), error_hint(run.failure(), level));
    save(screen, name);
}

void paused_shot(SDL_Surface* screen, Level& level) {
    floor_shot(screen, level, false);
    draw_paused_run(screen, 37);
    save(screen, "floor_paused");
}

// A part from the bin held over the floor, let go at cell (x, y) it would
// land where the outline shows, or be refused for the reason the status
// line gives.
void drag_shot(SDL_Surface* screen, Level& level, Device& held, int x, int y, const char* name) {
    floor_shot(screen, level, true);
    Placement place = placement_at(level, held, {x, y});
    if (!place.accepted())
        draw_status(screen, refusal_text(place, DropStage::dragging), StatusTone::refusal);
    DropOutline outline{cells_covered_at(held, {x, y}), place.accepted()};
    DraggedDevice dragged{&held, CELL_PX * x + 9, CELL_PX * y + 7, &outline};
    SdlCanvas canvas(screen);
    draw_floor(canvas, level, Phase::building, &dragged);
    save(screen, name);
}

// The load chooser over the list, on a folder of saves made for it. The
// chooser waits for the player: a timer presses Escape once it has drawn.
Uint32 press_escape(Uint32, void*) {
    SDL_Event escape{};
    escape.type = SDL_KEYDOWN;
    escape.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&escape);
    return 0;
}

void load_list_shot(SDL_Surface* screen) {
    char folder[] = "/tmp/gearloft-shots-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        return;
    const char* const saves[][2] = {{"01-first-belt.sav", "01-first-belt.lvl"},
                                    {"05-glue.sav", "05-glue.lvl"},
                                    {"07-lamp.sav", "07-lamp.lvl"},
                                    {"07-lamp-counting.sav", "07-lamp.lvl"},
                                    {"30-finale.sav", "30-finale.lvl"},
                                    {"from-a-friend.sav", "99-lost-level.lvl"},
                                    {"garbled.sav", "\x01\x02"}};
    for (const auto& save : saves)
        std::ofstream(std::string(folder) + "/" + save[0]) << save[1] << "\nCODE\n0\n0\n";
    draw_image(pic("background_selection.gif"), 0, 0, screen);
    SDL_TimerID timer = SDL_AddTimer(400, press_escape, nullptr);
    choose_file(screen, ChooserMode::Open, folder);
    SDL_RemoveTimer(timer);
    save(screen, "load_list");
    std::filesystem::remove_all(folder);
}

void list_shot(SDL_Surface* screen) {
    draw_image(pic("background_selection.gif"), 0, 0, screen);
    draw_row_highlight(screen, 2);
    const char* rows[] = {"[*        ] First steps: one belt, one catcher", "[*        ] Two colours",
                          "[**       ] Glue: deliver a red pair", "[***      ] The pusher gate",
                          "[*****    ] Sorting by sensor", "[*********] The space station"};
    int y = 100;
    for (const char* row : rows) {
        draw_text(row, 10, 0, 0, 0, 25, y, screen);
        y += 20;
    }
    save(screen, "level_list");
}

// The three pages side by side, the first with belt settings changed.
void pages_shot(SDL_Surface* screen) {
    Picture sheet = canvas(3 * 160, 550);
    PartsBin bin;
    bin.click(24, 104);
    bin.click(92, 200);
    bin.click(30, 342);
    for (int page = 0; page < 3; ++page) {
        bin.goto_page(page);
        bin.draw(screen);
        SDL_Rect from = make_rect(PartsBin::PANEL_X, 0, 150, 550);
        SDL_Rect to = make_rect(160 * page, 0, 0, 0);
        SDL_BlitSurface(screen, &from, sheet.get(), &to);
    }
    save(sheet.get(), "parts_bin_pages");
}

void editor_shot(SDL_Surface* screen) {
    EditorGUI editor(screen);
    editor.set_text(CodeBox::init, "-- Initialization Code Goes Here\nstep = 0");
    editor.set_text(CodeBox::cycle,
                    "-- Every-cycle Code Goes Here\nstep = step + 1\nif sensor_0.read() then\n"
                    "    pusher_0.on(true)   -- shove it onto the belt\nelse\n    pusher_0.on(false)\nend\n"
                    "if step % 40 == 0 then sprayer_0.spray() end\n"
                    "indicator_0.on(grabber_0.read() > 5)  -- {}[]<>!?@$^~|_\\\"'`&*#");
    draw_image(pic("background_editing.gif"), 0, 0, screen);
    editor.logic();
    editor.draw();
    save(screen, "editor");
}

void label(SDL_Surface* s, const char* text, int x, int y) { draw_text(text, 10, 240, 232, 210, x, y, s); }

// Every picture, with the machines drawn by their own classes in each direction.
void contact_sheet() {
    Picture sheet = canvas(760, 560);
    SDL_Surface* s = sheet.get();
    SdlCanvas on_sheet(s);
    label(s, "blocks", 10, 4);
    int i = 0;
    for (const BlockType& block : BLOCK_TYPES) {
        char name[2] = {static_cast<char>(block.type), '\0'};
        draw_image(cached_picture(block.picture), 10 + 36 * i, 22, s);
        label(s, name, 18 + 36 * i, 48);
        ++i;
    }
    const char* dirs[] = {"up", "right", "down", "left"};
    label(s, "belt frames 0-4, then belts up/right/down/left", 10, 70);
    for (int f = 0; f < 5; ++f) {
        DeviceConveyer belt(0, 0, Mobility::movable, 1, DIR_RIGHT, 10);
        belt.frame = f;
        belt.draw_at(on_sheet, 10 + 30 * f, 90, Phase::running);
    }
    for (int d = 0; d < 4; ++d) {
        DeviceConveyer belt(0, 0, Mobility::movable, d % 2 ? 3 : 1, d, 10);
        belt.draw_at(on_sheet, 180 + 110 * d, 90, Phase::running);
        label(s, dirs[d], 180 + 110 * d, 120);
    }
    label(s, "pushers (rod out), sprayers (spraying), sensors, each up/right/down/left", 10, 150);
    for (int d = 0; d < 4; ++d) {
        int x = 35 + 80 * d, y = 200;
        DevicePusher pusher(0, 0, Mobility::movable, d);
        pusher.give_name(d);
        pusher.extended = true;
        pusher.draw_at(on_sheet, x, y, Phase::building);
        DeviceSprayer sprayer(0, 0, Mobility::movable, d);
        sprayer.give_name(d);
        sprayer.spray_time = 4;
        sprayer.draw_at(on_sheet, x + 340, y, Phase::building);
        DeviceSensor sensor(0, 0, Mobility::movable, d);
        sensor.give_name(d);
        sensor.draw_at(on_sheet, x, y + 80, Phase::building);
    }
    label(s, "lamps dim/lit, grabbers (claw left open, right holding), converter", 10, 330);
    const int lamp_colours[4][3] = {{0, 0, 255}, {255, 128, 0}, {255, 0, 0}, {0, 255, 0}};
    for (int i = 0; i < 4; ++i) {
        DeviceIndicator lamp(0, 0, Mobility::movable, lamp_colours[i][0], lamp_colours[i][1], lamp_colours[i][2]);
        lamp.draw_at(on_sheet, 10 + 30 * i, 370, Phase::running);
        lamp.lit = true;
        lamp.draw_at(on_sheet, 10 + 30 * i, 400, Phase::running);
    }
    DeviceGrabber left(0, 0, Mobility::movable, 6, ClawSide::left);
    left.give_name(0);
    left.position = 2;
    left.draw_at(on_sheet, 190, 370, Phase::building);
    DeviceGrabber right(0, 0, Mobility::movable, 6, ClawSide::right);
    right.give_name(1);
    right.position = 3;
    right.holding = true;
    right.draw_at(on_sheet, 250, 370, Phase::building);
    DeviceConverter converter(0, 0, Mobility::movable, 'R', 'G');
    converter.draw_at(on_sheet, 330, 370, Phase::running);
    save(s, "contact_sheet");
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR (run in the game's working folder)\n", argv[0]);
        return 2;
    }
    out_dir = argv[1];
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER);
    TTF_Init();
    SDL_Surface* screen = SDL_SetVideoMode(800, 600, 16, 0);
    {
        Level level;
        furnish(level);
        floor_shot(screen, level, true);
        save(screen, "floor_building");
        floor_shot(screen, level, false);
        save(screen, "floor_running");
        error_shot(screen, level, "\n\n\n\nlamp_0.on(true)", "message_error"); // a lamp is indicator_N
        error_shot(screen, level, "action('sensor_3', 'read', 0)", "message_error_device");
        paused_shot(screen, level);
        DevicePusher pusher(0, 0, Mobility::movable, DIR_LEFT);
        drag_shot(screen, level, pusher, 12, 12, "drop_green");
        DeviceConveyer belt(0, 0, Mobility::movable, 2, DIR_DOWN, 10);
        drag_shot(screen, level, belt, 11, 6, "drop_red");
        load_list_shot(screen);
        message_shot(screen, level, "quit.gif", "message_quit");
        message_shot(screen, level, "win.gif", "message_win");
        win_metrics_shot(screen, level);
        list_shot(screen);
        GameInfo info{screen};
        records_list_shot(info);
        const char* backgrounds[] = {"background_construction", "background_editing", "background_simulation",
                                     "background_selection"};
        for (const char* name : backgrounds) {
            draw_image(pic((std::string(name) + ".gif").c_str()), 0, 0, screen);
            save(screen, name);
        }
        pages_shot(screen);
        editor_shot(screen);
        contact_sheet();
    }
    release_pictures();
    close_fonts();
    TTF_Quit();
    SDL_Quit();
    return 0;
}
