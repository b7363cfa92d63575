// The error screen shows any message a program can make: one that fits is
// drawn on one line as always; a longer one wraps on the picture's strip and
// ends in an ellipsis, leaving the band of the hint below free; no length
// makes the drawing fail.
#include <gtest/gtest.h>
#include <SDL_ttf.h>

#include <cstring>
#include <string>

#include "screens/message_screens.h"
#include "toolkit/toolkit.h"

namespace {

class ErrorScreenTest : public testing::Test {
protected:
    void SetUp() override {
        SDL_Init(SDL_INIT_VIDEO);
        TTF_Init();
        info_.screen = SDL_SetVideoMode(800, 600, 16, 0);
    }
    void TearDown() override {
        close_fonts();
        TTF_Quit();
        SDL_Quit();
    }

    // The screen after `error` showed the message and its hint (a click is
    // waiting).
    Picture shown(const std::string& message, const std::string& hint = "") {
        SDL_FillRect(info_.screen, nullptr, 0);
        SDL_Event click;
        std::memset(&click, 0, sizeof click);
        click.type = SDL_MOUSEBUTTONDOWN;
        SDL_PushEvent(&click);
        error(&info_, message.c_str(), hint);
        return copy();
    }
    // The plain picture, with a message drawn as a single centred line.
    Picture picture_with_line(const char* line) {
        SDL_FillRect(info_.screen, nullptr, 0);
        Picture picture = load_picture("img/error.gif");
        draw_image(picture.get(), 50, 350, info_.screen);
        draw_text_center(line, 10, 0, 0, 0, 400, 400, info_.screen);
        return copy();
    }
    Picture copy() { return Picture(SDL_ConvertSurface(info_.screen, info_.screen->format, 0)); }

    // Pixels that differ within rows [y0, y1).
    static int differing(SDL_Surface* a, SDL_Surface* b, int y0, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < a->w; ++x)
                count += static_cast<Uint16*>(a->pixels)[y * a->pitch / 2 + x] !=
                         static_cast<Uint16*>(b->pixels)[y * b->pitch / 2 + x];
        return count;
    }

    GameInfo info_;
};

TEST_F(ErrorScreenTest, AMessageThatFitsIsOneCentredLine) {
    const char* message = "[string \"EVERY TIME\"]:5: attempt to index global 'missing_table' (a nil value)";
    Picture screen = shown(message);
    Picture expected = picture_with_line(message);
    EXPECT_EQ(differing(screen.get(), expected.get(), 0, 600), 0);
}

TEST_F(ErrorScreenTest, LongMessagesWrapOnTheStripAndLeaveTheHintLineFree) {
    Picture plain = picture_with_line("");
    for (std::string message : {std::string(5000000, 'E'), "word " + std::string(3000, 'w'),
                                "line\none\0" + std::string(300, 'c'), std::string(120, 'a') + std::string(2, '\0')}) {
        Picture screen = shown(message);
        // Ink on both lines of the strip, the first drawn from its top.
        EXPECT_GT(differing(screen.get(), plain.get(), 392, 404), 50);
        EXPECT_GT(differing(screen.get(), plain.get(), 406, 418), 50) << message.substr(0, 10);
        EXPECT_EQ(pixel_at(screen.get(), 62, 412), pixel_at(plain.get(), 61, 390)) << "the strip grew in its paper";
        // The hint line, the rest of the picture and the window stay as they were.
        EXPECT_EQ(differing(screen.get(), plain.get(), 0, 389), 0);
        EXPECT_EQ(differing(screen.get(), plain.get(), 422, 600), 0);
    }
}

// The hint takes up to two lines of the band below the strip, however long
// the message above it; the message is drawn as without a hint.
TEST_F(ErrorScreenTest, TheHintGoesBelowTheMessage) {
    for (std::string message : {std::string("short"), std::string(3000, 'm')}) {
        Picture plain = shown(message);
        Picture one_line = shown(message, "Line 5 of your every-cycle code.");
        EXPECT_GT(differing(one_line.get(), plain.get(), 427, 440), 50);
        EXPECT_EQ(differing(one_line.get(), plain.get(), 440, 600), 0);
        Picture long_hint = shown(message, std::string(100000, 'h') + "\n\0");
        EXPECT_GT(differing(long_hint.get(), plain.get(), 440, 453), 50) << "a second line";
        EXPECT_EQ(differing(long_hint.get(), plain.get(), 0, 427), 0);
        EXPECT_EQ(differing(long_hint.get(), plain.get(), 453, 600), 0);
    }
}

TEST_F(ErrorScreenTest, AnyTextIsSafeToDraw) {
    for (int size : {10, 40}) {
        std::string text(200000, 'W');
        draw_text(text.c_str(), size, 0, 0, 0, 0, 0, info_.screen);
        draw_text_center(text.c_str(), size, 0, 0, 0, 400, 300, info_.screen);
        EXPECT_LE(text_width(text.c_str(), size), TEXT_WIDTH_MAX);
        EXPECT_GT(text_width(text.c_str(), size), TEXT_WIDTH_MAX - 100);
    }
}

} // namespace
