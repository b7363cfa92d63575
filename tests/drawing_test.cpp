// What the screen shows, drawn by the game's own code with the game's art and
// compared pixel for pixel with golden pictures (tests/data/golden; refresh
// them on purpose with tools/golden/refresh.sh); and the toolkit's quarter
// turns and magenta keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "editorgui/editor_gui.h"
#include "files/device_record.h"
#include "kinds/converter.h"
#include "kinds/conveyer.h"
#include "kinds/grabber.h"
#include "kinds/indicator.h"
#include "kinds/pusher.h"
#include "kinds/sensor.h"
#include "kinds/sprayer.h"
#include "partsbin/parts_bin.h"
#include "screens/fatal_message.h"
#include "screens/level_list_records.h"
#include "screens/level_list_rows.h"
#include "screens/message_screens.h"
#include "screens/metrics_panel.h"
#include "screens/run_tools.h"
#include "support.h"
#include "toolkit/gui_font.h"
#include "toolkit/pictures.h"
#include "toolkit/present.h"
#include "toolkit/sdl_canvas.h"
#include "view/floor_view.h"
#include "view/floor_overlays.h"

namespace {
class Golden : public WindowTest {};

template <class T, class... Args> T* named(Level& level, int number, Args&&... args) {
    T* device = place<T>(level, std::forward<Args>(args)...);
    device->give_name(number);
    return device;
}

// Every kind in every direction with its run state showing, blocks of every
// type with glue marks and a held block, catchers and spawners.
void furnish(Level& level) {
    level.catchers.push_back(std::make_unique<Catcher>(1, 1, 2, 1, "RR"));
    level.catchers.push_back(std::make_unique<Catcher>(16, 16, 2, 2, "UxUS"));
    level.catchers.back()->remaining = 3;
    level.spawners.push_back(std::make_unique<Spawner>(1, 10, 'R', 20));
    level.spawners.push_back(std::make_unique<Spawner>(24, 20, 'g', 20));
    // Two spawners on one cell share it out in strips.
    level.spawners.push_back(std::make_unique<Spawner>(24, 20, 'U', 30));
    for (int d = 0; d < 4; ++d) {
        named<DeviceConveyer>(level, 0, 1 + 4 * d, 12, d % 2 == 0 ? Mobility::fixed : Mobility::movable, 3, d, 10)
            ->frame = d + 1;
        named<DevicePusher>(level, d, 2 + 3 * d, 5, Mobility::movable, d)->extended = d % 2 == 0;
        named<DeviceSensor>(level, d, 14 + 3 * d, 2, Mobility::movable, d);
        named<DeviceSprayer>(level, d, 14 + 3 * d, 6, Mobility::movable, d)->spray_time = d;
        named<DeviceIndicator>(level, d, 1 + 3 * d, 8, Mobility::movable, d * 85, 255 - d * 60, d % 2 ? 255 : 0)->lit =
            d % 2 == 0;
    }
    named<DeviceConveyer>(level, 0, 9, 17, Mobility::movable, 5, DIR_RIGHT, 10);
    named<DeviceGrabber>(level, 0, 12, 9, Mobility::movable, 6, ClawSide::left)->position = 2;
    DeviceGrabber* holding = named<DeviceGrabber>(level, 1, 22, 9, Mobility::movable, 8, ClawSide::right);
    holding->position = 3;
    holding->holding = true;
    named<DeviceConverter>(level, 0, 3, 14, Mobility::movable, 'R', 'G');
    const char types[] = "RGUudDiMsWwTBtgYXCS";
    for (int i = 0; i < 19; ++i)
        level.add_block(2 + i, 21, static_cast<unsigned char>(types[i]));
    level.add_block(10, 17, 'R'); // on the belt
    level.add_block(11, 17, 'G');
    level.groups[11][17] = level.groups[10][17];
    level.sticky[11][17] = 1;
    level.add_block(23, 12, 'M'); // in the claw
    level.set_held(23, 12, 1);
    level.add_block(5, 16, 'R'); // in the converter's lane
}
} // namespace

// While building: name labels, dim lamps, spawners, and a pusher dragged
// half a cell off the grid. Running: no labels, no spawners, lit lamps in
// full colour, and a device of the floor being dragged left out of its place.
TEST_F(Golden, FloorWhileBuildingAndRunning) {
    Level level;
    furnish(level);
    DevicePusher dragged(0, 0, Mobility::movable, DIR_LEFT);
    dragged.give_name(9);
    Picture building = make_surface(650, 550), running = make_surface(650, 550);
    SdlCanvas on_building(building.get()), on_running(running.get());
    DraggedDevice from_bin{&dragged, 312, 437}, from_floor{level.devices.back().get(), -100, -100};
    draw_floor(on_building, level, Phase::building, &from_bin);
    draw_floor(on_running, level, Phase::running, &from_floor);
    EXPECT_TRUE(matches_golden(building.get(), "floor_building"));
    EXPECT_TRUE(matches_golden(running.get(), "floor_running"));
}

// The inspection view of the same floor, with more to show: two glued pairs
// side by side and two loose blocks, a catcher beside another and one under
// a belt, and a crowd of named parts, the pointer on the middle one. Every
// name gets a plate clear of the others and of the floor's edges.
TEST_F(Golden, InspectionViewWhileBuildingAndRunning) {
    Level level;
    furnish(level);
    level.catchers.push_back(std::make_unique<Catcher>(5, 0, 1, 2, "GR"));
    named<DeviceConveyer>(level, 0, 16, 17, Mobility::fixed, 3, DIR_RIGHT, 10);
    for (int x = 6; x < 12; ++x)
        level.add_block(x, 19, x < 10 ? 'W' : 'R');
    for (int x = 6; x < 10; x += 2) {
        level.groups[x + 1][19] = level.groups[x][19];
        level.sticky[x][19] = 1;
    }
    for (int i = 0; i < 8; ++i)
        named<DeviceSensor>(level, 4 + i, 16 + i % 4, 10 + i / 4, Mobility::movable, DIR_DOWN);
    Inspection inspection{FloorCell{17, 11}};
    Picture building = make_surface(650, 550), running = make_surface(650, 550);
    SdlCanvas on_building(building.get()), on_running(running.get());
    draw_floor(on_running, level, Phase::running, nullptr, &inspection);
    std::vector<DeviceIndicator*> lamps;
    for (auto& device : level.devices)
        if (auto lamp = dynamic_cast<DeviceIndicator*>(device.get()))
            lamps.push_back(lamp);
    for (DeviceIndicator* lamp : lamps)
        lamp->lit = false; // as every run's end leaves them
    draw_floor(on_building, level, Phase::building, nullptr, &inspection);
    EXPECT_TRUE(matches_golden(building.get(), "overlays_building"));
    EXPECT_TRUE(matches_golden(running.get(), "overlays_running"));

    std::vector<NameLabel> labels = place_name_labels(on_building, level, Phase::building, nullptr, inspection.pointer);
    ASSERT_FALSE(labels.empty());
    EXPECT_STREQ(labels[0].device->name, "sensor_9") << "the part under the pointer goes first";
    size_t named_parts = 0;
    for (auto& device : level.devices)
        named_parts += device->name[0] != '\0' ? 1 : 0;
    EXPECT_EQ(labels.size(), named_parts);
    for (size_t i = 0; i < labels.size(); ++i) {
        const PixelRect& a = labels[i].plate;
        EXPECT_TRUE(a.x >= 0 && a.y >= 0 && a.x + a.w <= 650 && a.y + a.h <= 550) << labels[i].text;
        for (size_t j = 0; j < i; ++j) {
            const PixelRect& b = labels[j].plate;
            EXPECT_FALSE(a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h)
                << labels[i].text << " over " << labels[j].text;
        }
    }
    lamps[0]->lit = lamps[2]->lit = true;
    std::vector<NameLabel> lit = place_name_labels(on_running, level, Phase::running, nullptr, std::nullopt);
    auto lit_lamp = [](const NameLabel& l) { return l.text.size() > 3 && l.text.substr(l.text.size() - 3) == " ON"; };
    EXPECT_EQ(std::count_if(lit.begin(), lit.end(), lit_lamp), 2) << "the two lit lamps";
}

// The three pages side by side, the first with a belt set to left, fast and
// four long.
TEST_F(Golden, PartsBinPages) {
    PartsBin bin;
    bin.click(24, 104);
    bin.click(92, 200);
    bin.click(30, 342);
    Picture sheet = make_surface(450, 550);
    for (int page = 0; page < 3; ++page) {
        bin.goto_page(page);
        bin.draw(info_.screen);
        SDL_Rect from = make_rect(PartsBin::PANEL_X, 0, 150, 550);
        SDL_Rect to = make_rect(150 * page, 0, 0, 0);
        SDL_BlitSurface(info_.screen, &from, sheet.get(), &to);
    }
    EXPECT_TRUE(matches_golden(sheet.get(), "parts_bin"));
}

// The error card with its message and hint over the construction screen, and the box
// of a corrupt save over that; the code editor with every glyph.
TEST_F(Golden, MessagesAndCodeEditor) {
    draw_image(cached_picture("img/background_construction.gif"), 0, 0, info_.screen);
    push_click(400, 455);
    error(&info_, "[string \"EVERY TIME\"]:3: attempt to call field 'spin' (a nil value)",
          "Line 2 of your every-cycle code.");
    draw_message_box(info_.screen, INVALID_RECORD_TITLE, INVALID_RECORD_MESSAGE);
    EXPECT_TRUE(matches_golden(info_.screen, "messages"));
    EditorGUI editor(info_.screen);
    editor.set_text(CodeBox::cycle,
                    "-- Every-cycle Code Goes Here\nif sensor_0.read() then\n    pusher_0.on(true)\nend\n" +
                        std::string(GUI_FONT_GLYPHS));
    draw_image(cached_picture("img/background_editing.gif"), 0, 0, info_.screen);
    editor.logic();
    editor.draw();
    EXPECT_TRUE(matches_golden(info_.screen, "editor"));
}

// The speed on the running panel and the console over the floor: a line cut
// to its width, control bytes made spaces, the line still being printed. The
// editor's selection over three rows, line ends included.
TEST_F(Golden, RunSpeedConsoleAndEditorSelection) {
    draw_image(cached_picture("img/background_simulation.gif"), 0, 0, info_.screen);
    draw_step_counter(info_.screen, 1234, {1300, 20, 9});
    draw_run_speed(info_.screen, RunSpeed::x16);
    draw_console(info_.screen, {"step\t1", std::string(300, 'w'), std::string("nul\0bell\a", 9), "open"});
    EXPECT_TRUE(matches_golden(info_.screen, "run_tools"));

    EditorGUI editor(info_.screen);
    editor.set_text(CodeBox::cycle, "alpha = 1\nbeta = 2\ngamma = 3\n");
    editor.push_input(mouse_event(SDL_MOUSEBUTTONDOWN, 40, 225));
    editor.push_input(mouse_event(SDL_MOUSEBUTTONUP, 40, 225));
    for (SDLKey key : {SDLK_DOWN, SDLK_DOWN, SDLK_LEFT}) {
        SDL_Event event = key_event(key);
        event.key.keysym.mod = KMOD_LSHIFT;
        editor.push_input(event);
    }
    draw_image(cached_picture("img/background_editing.gif"), 0, 0, info_.screen);
    editor.logic();
    editor.draw();
    EXPECT_TRUE(matches_golden(info_.screen, "editor_selection"));
}

// The step counter on the running panel and a second win's numbers above
// the win card, with bests it could not write. The list's records beside
// rows whose text leaves room for all, for the bests only, for the tick
// only and for nothing, of a level without a code best, and on the rows
// beside the load button.
TEST_F(Golden, MetricsOnTheRunTheWinCardAndTheList) {
    draw_image(cached_picture("img/background_simulation.gif"), 0, 0, info_.screen);
    draw_step_counter(info_.screen, 1234, {1300, 20, 9});
    RecordOutcome records{Bests{1300, 12, 4}, {1234, 12, 4}, true, false, false, "disk full"};
    push_click(400, 455);
    win(&info_, [&](SDL_Surface* screen) {
        draw_win_metrics(screen, {{1234, 14, 5}, records, {1300, 12, std::nullopt}});
    });
    EXPECT_TRUE(matches_golden(info_.screen, "metrics_run_and_win"));

    draw_image(cached_picture("img/background_selection.gif"), 0, 0, info_.screen);
    const Bests best{301, 16, 96}, no_code_best{301, 16, std::nullopt};
    const Par par{320, 16, 120};
    const struct {
        int y;
        std::size_t length;
        const Bests* best;
        Par par;
    } rows[] = {{100, 20, &best, par},  {120, 30, nullptr, par},       {140, 20, &best, {}}, {160, 90, &best, par},
                {180, 120, &best, par}, {200, 20, &no_code_best, par}, {520, 84, &best, par}};
    for (const auto& row : rows) {
        std::string text = level_row_text(3, std::string(row.length, 'd'));
        draw_text(text.c_str(), 10, 0, 0, 0, LIST_LEFT, row.y, info_.screen);
        draw_row_records(info_.screen, row.y, LIST_LEFT + text_width(text.c_str(), 10), row.best, row.par);
    }
    draw_records_heading(info_.screen);
    EXPECT_TRUE(matches_golden(info_.screen, "list_records"));
}

namespace {
// A 25 x 25 palettised picture, like the game's GIFs as loaded: palette
// entry `fill` everywhere, the following entries in the four corners.
Picture corner_picture(std::vector<SDL_Color> palette, Uint8 fill) {
    Picture picture(SDL_CreateRGBSurface(SDL_SWSURFACE, 25, 25, 8, 0, 0, 0, 0));
    SDL_SetColors(picture.get(), palette.data(), 0, static_cast<int>(palette.size()));
    SDL_FillRect(picture.get(), nullptr, fill);
    for (int i = 0; i < 4; ++i)
        static_cast<Uint8*>(picture->pixels)[(i / 2) * 24 * picture->pitch + (i == 1 || i == 2) * 24] =
            static_cast<Uint8>((fill + 1 + i) % palette.size());
    return picture;
}

// The 16-bit pixel at (x, y), and a colour as a 16-bit surface holds it.
Uint16 at(SDL_Surface* s, int x, int y) {
    return static_cast<Uint16*>(s->pixels)[y * s->pitch / 2 + x];
}
Uint16 as_drawn(SDL_Surface* s, SDL_Color c) {
    return static_cast<Uint16>(SDL_MapRGB(s->format, c.r, c.g, c.b));
}

// The number of pixels in which two surfaces of one size and format differ.
int differing_pixels(SDL_Surface* a, SDL_Surface* b) {
    int differing = 0;
    for (int y = 0; y < a->h; ++y)
        for (int x = 0; x < a->w; ++x)
            differing += at(a, x, y) != at(b, x, y);
    return differing;
}

// Draws a picture plainly, faded and turned, at places where the surface's
// clipping rectangle cuts it and where it does not.
void draw_every_way(SDL_Surface* picture, SDL_Surface* dst) {
    SDL_Rect clip = make_rect(5, 5, 150, 150);
    SDL_SetClipRect(dst, &clip);
    for (int place : {-20, 0, 60, 140}) {
        draw_image(picture, place, place, dst);
        draw_image_fade(picture, place, 30, dst, 128);
        for (int angle : {0, 90, 180, 270})
            draw_image_rotated(picture, angle, 10 + angle / 3, place, dst);
    }
}

} // namespace

// Only changed tiles are sent: none for a like picture, one tile for a pixel,
// the cut tiles at the edges, and one rectangle for a wholly new picture.
TEST(Toolkit, OnlyTheChangedTilesOfTheScreenAreSent) {
    Picture shown = make_surface(800, 600);
    Picture now = make_surface(800, 600);
    auto rects = [&] {
        std::vector<std::array<int, 4>> found;
        for (const SDL_Rect& r : changed_rects(now.get(), shown.get()))
            found.push_back({r.x, r.y, r.w, r.h});
        return found;
    };
    EXPECT_TRUE(rects().empty());
    fill_rect(now.get(), 100, 50, 1, 1, 255, 255, 255);
    fill_rect(now.get(), 799, 599, 1, 1, 255, 255, 255);
    using Found = std::vector<std::array<int, 4>>;
    EXPECT_EQ(rects(), (Found{{96, 48, 32, 16}, {768, 592, 32, 8}}));
    // Tiles that touch join, across a row and down a column of rows.
    fill_rect(now.get(), 64, 48, 64, 40, 255, 0, 0);
    EXPECT_EQ(rects(), (Found{{64, 48, 64, 48}, {768, 592, 32, 8}}));
    fill_rect(now.get(), 0, 0, 800, 600, 0, 0, 255);
    EXPECT_EQ(rects(), (Found{{0, 0, 800, 600}}));
}

// Quarter turns keep every row and column: drawn one pixel up and left, a
// turned 25 x 25 picture lands exactly on its cell, turned counter-clockwise.
// An opaque picture keeps even its first palette colour (SDL_gfx would make
// it see-through); a keyed one keeps its transparency.
TEST(Toolkit, QuarterTurnsKeepTheWholePicture) {
    const std::vector<SDL_Color> palette = {
        {0, 0, 128, 0}, {200, 0, 0, 0}, {0, 200, 0, 0}, {0, 0, 200, 0}, {200, 200, 0, 0}};
    for (Uint8 fill : {0, 4}) {
        Picture picture = corner_picture(palette, fill);
        // Which corner of the source shows at the top-left after each turn.
        for (auto [angle, corner] : {std::pair{0, 0}, {90, 1}, {180, 2}, {270, 3}, {-90, 3}, {-270, 1}}) {
            Picture dst = make_surface(60, 60);
            SDL_FillRect(dst.get(), nullptr, 0xFFFF);
            int shift = angle == 0 ? 0 : -1;
            draw_image_rotated(picture.get(), angle, 10 + shift, 10 + shift, dst.get());
            for (int y = 0; y < 60; ++y)
                for (int x = 0; x < 60; ++x)
                    ASSERT_EQ(at(dst.get(), x, y) != 0xFFFF, x >= 10 && x < 35 && y >= 10 && y < 35) << angle;
            EXPECT_EQ(at(dst.get(), 10, 10), as_drawn(dst.get(), palette[(fill + 1 + corner) % 5])) << angle;
            EXPECT_EQ(at(dst.get(), 22, 22), as_drawn(dst.get(), palette[fill])) << angle;
        }
    }
    // Magenta is keyed only where the palette has it: white, the nearest
    // colour in a palette without it, stays.
    Picture keyed = corner_picture({{255, 0, 255, 0}, {200, 0, 0, 0}, {0, 200, 0, 0}}, 0);
    Picture grey = corner_picture({{255, 255, 255, 0}, {200, 0, 0, 0}}, 0);
    set_magenta_key(keyed.get());
    set_magenta_key(grey.get());
    Picture dst = make_surface(60, 30);
    draw_image_rotated(keyed.get(), 270, -1, -1, dst.get());
    draw_image(grey.get(), 30, 0, dst.get());
    EXPECT_EQ(at(dst.get(), 12, 12), 0) << "magenta stays transparent";
    EXPECT_EQ(at(dst.get(), 24, 0), as_drawn(dst.get(), {200, 0, 0, 0}))
        << "the top-left corner turned to the top right";
    EXPECT_NE(at(dst.get(), 42, 12), 0);
}

// The cache hands out copies in the screen's format, which must draw just as
// the files themselves do. A key whose colour another colour of the picture
// meets in 16 bits would hide that colour too: such a picture has no copy.
TEST_F(Golden, CachedCopiesDrawAsTheFilesThemselves) {
    for (auto [path, magenta] : {std::pair{"img/block_red.gif", Magenta::opaque},
                                 {"img/sensor.gif", Magenta::opaque},
                                 {"img/pusher_rod.gif", Magenta::see_through},
                                 {"img/converter.gif", Magenta::see_through}}) {
        Picture loaded = load_picture(path, magenta), copied = make_surface(160, 160), direct = make_surface(160, 160);
        SDL_FillRect(copied.get(), nullptr, 0x1234);
        SDL_FillRect(direct.get(), nullptr, 0x1234);
        ASSERT_EQ(cached_picture(path, magenta)->format->BitsPerPixel, 16) << path;
        draw_every_way(cached_picture(path, magenta), copied.get());
        draw_every_way(loaded.get(), direct.get());
        EXPECT_EQ(differing_pixels(copied.get(), direct.get()), 0) << path;
    }
    Picture clash = corner_picture({{255, 0, 255, 0}, {250, 2, 252, 0}}, 0);
    set_magenta_key(clash.get());
    EXPECT_FALSE(exact_screen_copy(clash.get()));
    EXPECT_TRUE(exact_screen_copy(corner_picture({{255, 0, 255, 0}, {200, 0, 0, 0}}, 0).get()));
    // A new window gets new copies, also when only its depth differs (32 and 24 bits share their masks).
    for (int bits : {32, 24}) {
        ASSERT_NE(SDL_SetVideoMode(800, 600, bits, 0), nullptr);
        EXPECT_EQ(cached_picture("img/block_red.gif")->format->BitsPerPixel, bits);
    }
}

// Texts are rendered once and kept, within a bound: a label drawn after a
// flood of other texts, or after the fonts were closed, is the same.
TEST_F(Golden, KeptTextsDrawAsRenderedAfresh) {
    Picture first = make_surface(200, 40), again = make_surface(200, 40), scratch = make_surface(40, 20);
    auto label = [](SDL_Surface* dst) {
        draw_text("pusher_12", 10, 255, 0, 0, 3, 3, dst);
        draw_text_center("pusher_12", 18, 0, 0, 0, 100, 25, dst);
    };
    label(first.get());
    for (int i = 0; i < 2 * static_cast<int>(KEPT_TEXTS_MAX); ++i)
        draw_text_int(i, 10, 255, 255, 255, 0, 0, scratch.get());
    EXPECT_EQ(kept_text_count(), KEPT_TEXTS_MAX);
    label(again.get());
    EXPECT_EQ(differing_pixels(first.get(), again.get()), 0);
    close_fonts();
    EXPECT_EQ(kept_text_count(), 0u);
    label(again.get());
    EXPECT_EQ(differing_pixels(first.get(), again.get()), 0);
    EXPECT_NE(differing_pixels(first.get(), make_surface(200, 40).get()), 0) << "the labels were drawn";
}
