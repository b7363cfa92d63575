// Renders review pictures of the game's look into a folder, as BMP files:
// a sample floor while building and while running, the level list, the
// editor, the parts bin pages, the message cards and a contact sheet of every
// picture with the machines turned the way the game turns them.
// Usage (from the game's working folder): gearloft-shots OUT_DIR
#include <SDL.h>
#include <SDL_ttf.h>
#include <guichan.hpp>
#include <guichan/sdl.hpp>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "level/level.h"
#include "preview_device.h"
#include "toolkit/toolkit.h"

namespace {
std::string out_dir;

// Every picture is loaded once and kept for the whole run.
SDL_Surface* pic(const char* file, bool keyed = false) {
    static std::map<std::string, std::unique_ptr<SDL_Surface, SurfaceDeleter>> loaded;
    auto& slot = loaded[file];
    if (!slot)
        slot.reset(load_picture((std::string("img/") + file).c_str(), keyed));
    return slot.get();
}

void save(SDL_Surface* s, const char* name) {
    std::string path = out_dir + "/" + name + ".bmp";
    if (SDL_SaveBMP(s, path.c_str()) != 0)
        std::fprintf(stderr, "shots: cannot write %s\n", path.c_str());
}

using Machine = std::unique_ptr<PreviewDevice>;

Machine machine(int x, int y, const char* name_pattern, int number) {
    auto m = std::make_unique<PreviewDevice>(x, y);
    m->cells.push_back({0, 0});
    if (name_pattern) {
        m->name_pattern = name_pattern;
        m->give_name(number);
    }
    return m;
}

Step front(int direction) { return direction_step(direction); }

// A belt the way the conveyer draws itself: pictures run right as drawn and
// are turned for the other directions, one pixel up and left.
Machine belt(int x, int y, int length, int direction, int frame) {
    const char* frames[] = {"conveyer_8.gif", "conveyer_7.gif", "conveyer_5.gif", "conveyer_4.gif",
                            "conveyer_2.gif"};
    auto m = machine(x, y, nullptr, 0);
    m->low = true;
    m->cells.clear();
    const int angle[] = {90, 0, 270, 180};
    for (int i = 0; i < length; ++i) {
        bool down = direction % 2 == 0;
        m->cells.push_back(down ? std::make_pair(0, i) : std::make_pair(i, 0));
        int shift = direction == 1 ? 0 : -1;
        m->layers.push_back({pic(frames[frame]), angle[direction], (down ? 0 : 25 * i) + shift,
                             (down ? 25 * i : 0) + shift});
    }
    return m;
}

// Body turned -90 x direction at the anchor; the extra picture over the
// front cell (rod, glue cloud or sensor beam) as each machine places it.
Machine pointing(int x, int y, const char* body, int direction, bool turn_body, const char* extra, int extra_angle,
                 int alpha, const char* name_pattern, int number) {
    auto m = machine(x, y, name_pattern, number);
    m->layers.push_back({pic(body), turn_body ? -90 * direction : 0, 0, 0});
    if (extra) {
        Step f = front(direction);
        m->layers.push_back({pic(extra, alpha == 255), extra_angle, 25 * f.dx, 25 * f.dy, alpha});
    }
    return m;
}

Machine pusher(int x, int y, int direction, bool extended, int number) {
    const int rod_angle[] = {0, 270, 180, 90};
    return pointing(x, y, "pusher.gif", direction, true, extended ? "pusher_rod.gif" : nullptr, rod_angle[direction],
                    255, "pusher_%d", number);
}

Machine sprayer(int x, int y, int direction, bool spraying, int number) {
    return pointing(x, y, "sprayer.gif", direction, true, spraying ? "sprayer_blue.gif" : nullptr, 0, 128,
                    "sprayer_%d", number);
}

Machine sensor(int x, int y, int direction, int number) {
    return pointing(x, y, "sensor.gif", direction, false, "sensor_red.gif", 0, 128, "sensor_%d", number);
}

Machine lamp(int x, int y, int r, int g, int b, bool bright, int number) {
    auto m = machine(x, y, "indicator_%d", number);
    m->has_fill = true;
    m->fill_r = static_cast<Uint8>(bright ? r : r / 4);
    m->fill_g = static_cast<Uint8>(bright ? g : g / 4);
    m->fill_b = static_cast<Uint8>(bright ? b : b / 4);
    m->layers.push_back({pic("indicator.gif", true), 0, 0, 0});
    return m;
}

Machine grabber(int x, int y, int length, bool faces_left, int position, bool holding, int number) {
    auto m = machine(x, y, "grabber_%d", number);
    m->cells.clear();
    int turn = faces_left ? 0 : 180;
    const char* first = faces_left ? "grabber_top.gif" : "grabber_bot.gif";
    const char* last = faces_left ? "grabber_bot.gif" : "grabber_top.gif";
    for (int i = 0; i < length; ++i) {
        m->cells.push_back({0, i});
        const char* piece = i == 0 ? first : i == length - 1 ? last : "grabber_mid.gif";
        m->layers.push_back({pic(piece, true), turn, 0, 25 * i});
    }
    m->numbers.push_back({0, {12, 8}});
    m->numbers.push_back({length - 1, {12, 25 * length - 8}});
    m->layers.push_back({pic(holding ? "grabber_claw_x.gif" : "grabber_claw.gif", true), turn,
                         faces_left ? -25 : 25, 25 * position});
    return m;
}

Machine converter(Level& level, int x, int y, unsigned char from, unsigned char to) {
    auto m = machine(x, y, nullptr, 0);
    m->cells.clear();
    for (int cx = 0; cx < 4; ++cx)
        for (int cy = 0; cy < 4; ++cy)
            if (cy < 2 || (cy == 3 && (cx == 1 || cx == 2)))
                m->cells.push_back({cx, cy});
    m->layers.push_back({pic("converter.gif", true), 0, 0, 0});
    m->layers.push_back({level.block_images[from], 0, 10, 10});
    m->layers.push_back({level.block_images[to], 0, 65, 10});
    return m;
}

// The parts bin as the game draws it: page picture, drag picture, frames
// (lit when a setting button shows the current setting) and icons.
struct BinButton {
    int page, x, y, colour, icon;
    int setting; // 0 for machine buttons; 1 length, 2 direction, 3 period
    int value;
};
const BinButton BIN[] = {
    {0, 59, 72, 8, 0x400, 2, 0},    {0, 24, 104, 1, 0x100, 2, 3},  {0, 59, 104, 2, 0x800, 2, 2},
    {0, 95, 104, 4, 0x200, 2, 1},   {0, 30, 200, 1, 0x40, 3, 10},  {0, 92, 200, 4, 0x80, 3, 5},
    {0, 30, 300, 8, 0x1000, 1, 1},  {0, 92, 300, 4, 0x2000, 1, 2}, {0, 30, 342, 1, 0x4000, 1, 4},
    {0, 92, 342, 2, 0x8000, 1, 8},  {1, 59, 52, 8, 0x400, 0, 0},   {1, 24, 84, 1, 0x100, 0, 0},
    {1, 59, 84, 2, 0x800, 0, 0},    {1, 95, 84, 4, 0x200, 0, 0},   {1, 59, 176, 8, 0x400, 0, 0},
    {1, 24, 208, 1, 0x100, 0, 0},   {1, 59, 208, 2, 0x800, 0, 0},  {1, 95, 208, 4, 0x200, 0, 0},
    {2, 59, 52, 8, 0x400, 0, 0},    {2, 24, 84, 1, 0x100, 0, 0},   {2, 59, 84, 2, 0x800, 0, 0},
    {2, 95, 84, 4, 0x200, 0, 0},    {2, 30, 167, 8, 0, 0, 0},      {2, 92, 167, 4, 0, 0, 0},
    {2, 30, 210, 1, 0, 0, 0},       {2, 92, 210, 2, 0, 0, 0},      {2, 30, 288, 1, 0x100, 0, 0},
    {2, 92, 288, 8, 0x200, 0, 0},
};

const char* colour_name(int colour) {
    switch (colour) {
    case 1: return "red";
    case 2: return "green";
    case 4: return "orange";
    default: return "blue";
    }
}

const char* icon_file(int icon) {
    switch (icon) {
    case 0x100: return "arrow_left.gif";
    case 0x200: return "arrow_right.gif";
    case 0x400: return "arrow_up.gif";
    case 0x800: return "arrow_down.gif";
    case 0x1000: return "button_one.gif";
    case 0x2000: return "button_two.gif";
    case 0x4000: return "button_four.gif";
    case 0x8000: return "button_eight.gif";
    case 0x40: return "button_onex.gif";
    case 0x80: return "button_twox.gif";
    default: return nullptr;
    }
}

void draw_bin(SDL_Surface* dst, int page, int left, int length, int direction, int period) {
    const char* pages[] = {"parts_conveyers.gif", "parts_sensorsprayer.gif", "parts_pusherindicator.gif"};
    draw_image(pic(pages[page]), left, 0, dst);
    if (page == 0)
        draw_image(pic("button_drag.gif"), left + 37, 430, dst);
    for (const BinButton& b : BIN) {
        if (b.page != page)
            continue;
        int current = b.setting == 1 ? length : b.setting == 2 ? direction : period;
        bool lit = b.setting != 0 && b.value == current;
        std::string frame = std::string("button_") + (lit ? "on_" : "off_") + colour_name(b.colour) + ".gif";
        draw_image(pic(frame.c_str()), left + b.x, b.y, dst);
        if (const char* icon = icon_file(b.icon))
            draw_image(pic(icon, true), left + 8 + b.x, b.y + 8, dst);
    }
}

void add(Level& level, Machine m) { level.devices.push_back(std::move(m)); }

// A floor with a bit of everything on it.
void furnish(Level& level) {
    level.catchers.push_back(std::make_unique<Catcher>(2, 1, 2, 1, "RR"));
    level.catchers.push_back(std::make_unique<Catcher>(16, 15, 2, 2, "UxUU"));
    level.catchers.back()->remaining = 3;
    level.spawners.push_back(std::make_unique<Spawner>(1, 10, 'R', 20));
    level.spawners.push_back(std::make_unique<Spawner>(1, 13, 'U', 20));
    add(level, belt(1, 10, 9, 1, 2));
    add(level, belt(1, 13, 6, 1, 2));
    add(level, belt(10, 5, 5, 0, 2));
    add(level, belt(7, 13, 4, 2, 2));
    add(level, belt(12, 17, 5, 3, 2));
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
    add(level, pusher(10, 11, 0, true, 0));
    add(level, pusher(11, 7, 3, false, 1));
    add(level, sensor(8, 9, 2, 0));
    add(level, sprayer(9, 7, 1, true, 0));
    add(level, lamp(6, 3, 0, 255, 0, false, 0));
    add(level, lamp(7, 3, 255, 128, 0, true, 1));
    add(level, grabber(22, 1, 18, true, 6, true, 0));
    level.add_block(21, 7, 'M');
    level.set_held(21, 7, 1);
    add(level, converter(level, 14, 8, 'R', 'G'));
    level.add_block(16, 10, 'R');
}

void floor_shot(SDL_Surface* screen, Level& level, bool building) {
    draw_image(pic(building ? "background_construction.gif" : "background_simulation.gif"), 0, 0, screen);
    if (building)
        draw_bin(screen, 0, 650, 1, 0, 10);
    level.draw_to_surface(screen, nullptr, 0, 0, building);
}

void message_shot(SDL_Surface* screen, Level& level, const char* card, const char* message, const char* name) {
    floor_shot(screen, level, true);
    draw_image(pic(card), 50, 350, screen);
    if (message)
        draw_text_center(message, 10, 0, 0, 0, 400, 400, screen);
    save(screen, name);
}

void list_shot(SDL_Surface* screen) {
    draw_image(pic("background_selection.gif"), 0, 0, screen);
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

void pages_shot() {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 3 * 160, 550, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 20, 20, 24));
    draw_bin(s, 0, 0, 4, 3, 5);
    draw_bin(s, 1, 160, 1, 0, 10);
    draw_bin(s, 2, 320, 1, 0, 10);
    save(s, "parts_bin_pages");
    SDL_FreeSurface(s);
}

// The code editor's look: the background with two text boxes in the
// editor's picture font, filled with a small program.
void editor_shot(SDL_Surface* screen) {
    std::string glyphs = " abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int code : {46, 44, 33, 63, 45, 43, 47, 40, 41, 58, 59, 37, 38, 96, 39, 42, 35, 61, 91, 93, 34, 60, 62, 123,
                     125, 94, 126, 124, 95, 64, 36, 92})
        glyphs += static_cast<char>(code);
    gcn::SDLImageLoader loader;
    gcn::Image::setImageLoader(&loader);
    try {
        gcn::SDLGraphics graphics;
        graphics.setTarget(screen);
        gcn::Gui gui;
        gui.setGraphics(&graphics);
        gcn::Container top;
        top.setDimension(gcn::Rectangle(0, 0, 800, 600));
        gui.setTop(&top);
        gcn::ImageFont font("img/dina.bmp", glyphs);
        gcn::Widget::setGlobalFont(&font);
        std::unique_ptr<gcn::Image> background(gcn::Image::load("img/background_editing.gif", true));
        gcn::Icon icon(background.get());
        top.add(&icon, 0, 0);
        gcn::TextBox init_box("-- Initialization Code Goes Here\nstep = 0");
        gcn::ScrollArea init_scroll(&init_box);
        init_scroll.setDimension(gcn::Rectangle(0, 0, 760, 150));
        init_scroll.setFrameSize(1);
        top.add(&init_scroll, 20, 50);
        gcn::TextBox cycle_box("-- Every-cycle Code Goes Here\nstep = step + 1\nif sensor_0.read() then\n"
                               "    pusher_0.on(true)   -- shove it onto the belt\nelse\n    pusher_0.on(false)\nend\n"
                               "if step % 40 == 0 then sprayer_0.spray() end\n"
                               "indicator_0.on(grabber_0.read() > 5)  -- {}[]<>!?@$^~|_\\\"'`&*#");
        gcn::ScrollArea cycle_scroll(&cycle_box);
        cycle_scroll.setDimension(gcn::Rectangle(0, 0, 760, 360));
        cycle_scroll.setFrameSize(1);
        top.add(&cycle_scroll, 20, 220);
        gui.logic();
        gui.draw();
        save(screen, "editor");
    } catch (const gcn::Exception& e) {
        std::fprintf(stderr, "shots: editor: %s\n", e.getMessage().c_str());
    }
    gcn::Widget::setGlobalFont(nullptr);
}

void label(SDL_Surface* s, const char* text, int x, int y) { draw_text(text, 10, 240, 232, 210, x, y, s); }

// Every picture, with the machines in all four directions.
void contact_sheet(Level& level) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, 760, 560, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 50, 56, 66));
    label(s, "blocks", 10, 4);
    const char types[] = "RGUudDiMsWwTBtgYXCS";
    for (int i = 0; i < 19; ++i) {
        char name[2] = {types[i], '\0'};
        draw_image(level.block_images[static_cast<unsigned char>(types[i])], 10 + 36 * i, 22, s);
        label(s, name, 18 + 36 * i, 48);
    }
    const char* dirs[] = {"up", "right", "down", "left"};
    label(s, "belt frames 0-4, then belts up/right/down/left", 10, 70);
    for (int f = 0; f < 5; ++f)
        belt(0, 0, 1, 1, f)->draw_at(s, 10 + 30 * f, 90, false);
    for (int d = 0; d < 4; ++d) {
        int x = 180 + 110 * d;
        belt(0, 0, d % 2 ? 3 : 1, d, 0)->draw_at(s, x, 90, false);
        label(s, dirs[d], x, 120);
    }
    label(s, "pushers (rod out), sprayers (spraying), sensors, each up/right/down/left", 10, 150);
    for (int d = 0; d < 4; ++d) {
        Step f = front(d);
        int x = 35 + 80 * d, y = 200;
        pusher(0, 0, d, true, d)->draw_at(s, x - 25 * f.dx * 0, y, true);
        sprayer(0, 0, d, true, d)->draw_at(s, x + 340, y, true);
        sensor(0, 0, d, d)->draw_at(s, x, y + 80, true);
    }
    label(s, "lamps dim/lit, grabbers (claw left open, right holding), converter", 10, 330);
    const int lamp_colours[4][3] = {{0, 0, 255}, {255, 128, 0}, {255, 0, 0}, {0, 255, 0}};
    for (int i = 0; i < 4; ++i) {
        lamp(0, 0, lamp_colours[i][0], lamp_colours[i][1], lamp_colours[i][2], false, i)->draw_at(s, 10 + 30 * i, 370, false);
        lamp(0, 0, lamp_colours[i][0], lamp_colours[i][1], lamp_colours[i][2], true, i)->draw_at(s, 10 + 30 * i, 400, false);
    }
    grabber(0, 0, 6, true, 2, false, 0)->draw_at(s, 190, 370, true);
    grabber(0, 0, 6, false, 3, true, 1)->draw_at(s, 250, 370, true);
    converter(level, 0, 0, 'R', 'G')->draw_at(s, 330, 370, false);
    label(s, "parts bin frames, icons and drag picture", 450, 330);
    const char* colours[] = {"red", "green", "blue", "orange"};
    for (int i = 0; i < 4; ++i) {
        draw_image(pic((std::string("button_off_") + colours[i] + ".gif").c_str()), 450 + 36 * i, 350, s);
        draw_image(pic((std::string("button_on_") + colours[i] + ".gif").c_str()), 450 + 36 * i, 384, s);
    }
    const char* icons[] = {"arrow_up.gif", "arrow_right.gif", "arrow_down.gif", "arrow_left.gif", "button_one.gif",
                           "button_two.gif", "button_four.gif", "button_eight.gif", "button_onex.gif",
                           "button_twox.gif"};
    for (int i = 0; i < 10; ++i) {
        draw_image(pic("button_off_blue.gif"), 450 + 30 * (i % 5), 420 + 34 * (i / 5), s);
        draw_image(pic(icons[i], true), 458 + 30 * (i % 5), 428 + 34 * (i / 5), s);
    }
    draw_image(pic("button_drag.gif"), 610, 350, s);
    save(s, "contact_sheet");
    SDL_FreeSurface(s);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR (run in the game's working folder)\n", argv[0]);
        return 2;
    }
    out_dir = argv[1];
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SDL_Init(SDL_INIT_VIDEO);
    TTF_Init();
    SDL_Surface* screen = SDL_SetVideoMode(800, 600, 16, 0);
    {
        Level level;
        furnish(level);
        floor_shot(screen, level, true);
        save(screen, "floor_building");
        floor_shot(screen, level, false);
        save(screen, "floor_running");
        message_shot(screen, level, "error.gif", "[string \"EVERY TIME\"]:3: attempt to call field 'spin' (a nil value)",
                     "message_error");
        message_shot(screen, level, "quit.gif", nullptr, "message_quit");
        message_shot(screen, level, "win.gif", nullptr, "message_win");
        list_shot(screen);
        const char* backgrounds[] = {"background_construction", "background_editing", "background_simulation",
                                     "background_selection"};
        for (const char* name : backgrounds) {
            draw_image(pic((std::string(name) + ".gif").c_str()), 0, 0, screen);
            save(screen, name);
        }
        pages_shot();
        editor_shot(screen);
        contact_sheet(level);
        level.devices.clear();
    }
    close_fonts();
    TTF_Quit();
    SDL_Quit();
    return 0;
}
