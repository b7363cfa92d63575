// What the screen shows, drawn by the game's own code with the game's art and
// compared pixel for pixel with golden pictures (tests/data/golden; refresh
// them on purpose with tools/golden/refresh.sh).
#include <gtest/gtest.h>

#include "converter/converter.h"
#include "conveyer/conveyer.h"
#include "core/fatal_message.h"
#include "core/screens.h"
#include "editorgui/editor_gui.h"
#include "files/device_record.h"
#include "grabber/grabber.h"
#include "indicator/indicator.h"
#include "partsbin/parts_bin.h"
#include "pusher/pusher.h"
#include "sensor/sensor.h"
#include "sprayer/sprayer.h"
#include "support.h"
#include "toolkit/pictures.h"
#include "view/floor_view.h"

namespace {
class Golden : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        TTF_Init();
    }
    void TearDown() override {
        close_fonts();
        TTF_Quit();
        WindowTest::TearDown();
    }
};

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
    for (int d = 0; d < 4; ++d) {
        named<DeviceConveyer>(level, 0, 1 + 4 * d, 12, d % 2 == 0, 3, d, 10)->frame = d + 1;
        named<DevicePusher>(level, d, 2 + 3 * d, 5, false, d)->extended = d % 2 == 0;
        named<DeviceSensor>(level, d, 14 + 3 * d, 2, false, d);
        named<DeviceSprayer>(level, d, 14 + 3 * d, 6, false, d)->spray_time = d;
        named<DeviceIndicator>(level, d, 1 + 3 * d, 8, false, d * 85, 255 - d * 60, d % 2 ? 255 : 0)->lit = d % 2 == 0;
    }
    named<DeviceConveyer>(level, 0, 9, 17, false, 5, DIR_RIGHT, 10);
    named<DeviceGrabber>(level, 0, 12, 9, false, 6, true)->position = 2;
    DeviceGrabber* holding = named<DeviceGrabber>(level, 1, 22, 9, false, 8, false);
    holding->position = 3;
    holding->holding = true;
    named<DeviceConverter>(level, 0, 3, 14, false, 'R', 'G');
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
// half a cell off the grid.
TEST_F(Golden, FloorWhileBuilding) {
    Level level;
    furnish(level);
    DevicePusher dragged(0, 0, false, DIR_LEFT);
    dragged.give_name(9);
    Picture surface = make_surface(650, 550);
    draw_floor(surface.get(), level, &dragged, 312, 437, true);
    EXPECT_TRUE(matches_golden(surface.get(), "floor_building"));
}

// Running: no labels, no spawners, lit lamps in full colour; a device of
// the floor that is being dragged is left out of its place.
TEST_F(Golden, FloorWhileRunning) {
    Level level;
    furnish(level);
    Picture surface = make_surface(650, 550);
    draw_floor(surface.get(), level, level.devices.back().get(), -100, -100, false);
    EXPECT_TRUE(matches_golden(surface.get(), "floor_running"));
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

// The error card with its message over the construction screen, and the box
// of a corrupt save over that.
TEST_F(Golden, MessageScreens) {
    draw_image(cached_picture("img/background_construction.gif", false), 0, 0, info_.screen);
    push_click(400, 455);
    error(&info_, "[string \"EVERY TIME\"]:3: attempt to call field 'spin' (a nil value)");
    draw_message_box(info_.screen, INVALID_RECORD_TITLE, INVALID_RECORD_MESSAGE);
    EXPECT_TRUE(matches_golden(info_.screen, "messages"));
}

TEST_F(Golden, CodeEditor) {
    EditorGUI editor(info_.screen);
    editor.cycle_box->setText("-- Every-cycle Code Goes Here\nif sensor_0.read() then\n    pusher_0.on(true)\nend\n" +
                              std::string(EDITOR_GLYPHS));
    draw_image(cached_picture("img/background_editing.gif", false), 0, 0, info_.screen);
    editor.logic();
    editor.draw();
    EXPECT_TRUE(matches_golden(info_.screen, "editor"));
}
