// The corrupt-save message: what a load leads to, the box the player sees,
// and the exit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/fatal_message.h"
#include "file_test_util.h"
#include "files/device_record.h"
#include "level/level.h"

TEST(FatalMessage, LoadOutcomeFollowsTheLoadStatus) {
    GameDir dir;
    dir.write("levels/plain.lvl", "Plain\n1\n0\n");
    dir.write("saves/good.sav", "plain.lvl\nCODE\n0\n0\n");
    dir.write("saves/corrupt.sav", "plain.lvl\nz, 1, 2\nCODE\n");
    dir.write("saves/orphan.sav", "gone.lvl\nCODE\n");
    EXPECT_EQ(load_outcome(Level("saves/good.sav", 1)), LoadOutcome::open);
    EXPECT_EQ(load_outcome(Level("saves/corrupt.sav", 1)), LoadOutcome::fatal);
    EXPECT_EQ(load_outcome(Level("saves/orphan.sav", 1)), LoadOutcome::show_error);
    EXPECT_EQ(load_outcome(Level("saves/none.sav", 1)), LoadOutcome::show_error);
}

TEST(FatalMessage, BoxShowsTitleBarAndTextInTheMiddle) {
    GameDir dir;
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", "dina.fon");
    bool started_ttf = !TTF_WasInit();
    if (started_ttf)
        TTF_Init();
    close_fonts();
    SurfacePtr screen = make_surface(800, 600);
    draw_message_box(screen.get(), INVALID_RECORD_TITLE, INVALID_RECORD_MESSAGE);
    close_fonts();
    if (started_ttf)
        TTF_Quit();

    // Box 460 x 110 centred: (170, 245) to (629, 354).
    EXPECT_TRUE(pixel_is(screen.get(), 169, 300, BLACK, 0)) << "nothing outside the box";
    EXPECT_TRUE(pixel_is(screen.get(), 170, 300, Rgb{40, 40, 40}));
    EXPECT_TRUE(pixel_is(screen.get(), 620, 250, Rgb{160, 20, 20})) << "title bar";
    EXPECT_TRUE(pixel_is(screen.get(), 620, 340, Rgb{230, 230, 230})) << "body";
    auto count_dark = [&](int x0, int y0, int x1, int y1, Rgb ink) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += pixel_is(screen.get(), x, y, ink, 40) ? 1 : 0;
        return n;
    };
    EXPECT_GT(count_dark(175, 249, 300, 269, Rgb{255, 255, 255}), 10) << "white title text";
    EXPECT_GT(count_dark(180, 290, 620, 310, BLACK), 100) << "black message text";
}

TEST(FatalMessageDeathTest, WritesTheMessageAndExitsWithOne) {
    EXPECT_EXIT(fatal_message(nullptr, INVALID_RECORD_TITLE, INVALID_RECORD_MESSAGE), testing::ExitedWithCode(1),
                "Error!: Error loading saved game: Invalid device type!");
}

TEST(FatalMessageDeathTest, ClosesTheFontsBeforeExiting) {
    EXPECT_EXIT(
        {
            // The game folder's own font.
            TTF_Init();
            if (font_of_size(10) == nullptr)
                std::_Exit(2);
            // Runs before the font cache itself is destroyed.
            std::atexit([] {
                if (!fonts.empty())
                    std::_Exit(3);
            });
            fatal_message(nullptr, INVALID_RECORD_TITLE, INVALID_RECORD_MESSAGE);
        },
        testing::ExitedWithCode(1), "Invalid device type!");
}
