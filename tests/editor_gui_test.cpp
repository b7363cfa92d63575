// The code editor: default texts, rows, typing and clicking into the areas.
#include <gtest/gtest.h>

#include <cstring>

#include "editorgui/editor_gui.h"

namespace {
class EditorTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SDL_Init(SDL_INIT_VIDEO);
        SDL_EnableUNICODE(1);
        screen_ = SDL_SetVideoMode(800, 600, 16, 0);
    }
    static void TearDownTestSuite() { SDL_Quit(); }

    static SDL_Event mouse(Uint8 type, int x, int y) {
        SDL_Event event;
        std::memset(&event, 0, sizeof event);
        event.type = type;
        event.button.type = type;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = static_cast<Uint16>(x);
        event.button.y = static_cast<Uint16>(y);
        return event;
    }

    static SDL_Event key(Uint8 type, SDLKey sym, Uint16 unicode) {
        SDL_Event event;
        std::memset(&event, 0, sizeof event);
        event.type = type;
        event.key.type = type;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = sym;
        event.key.keysym.unicode = unicode;
        return event;
    }

    static void click(EditorGUI& editor, int x, int y) {
        SDL_Event down = mouse(SDL_MOUSEBUTTONDOWN, x, y);
        SDL_Event up = mouse(SDL_MOUSEBUTTONUP, x, y);
        editor.push_input(&down);
        editor.push_input(&up);
        editor.logic();
    }

    static void type(EditorGUI& editor, const char* text) {
        for (const char* c = text; *c; ++c) {
            SDLKey sym = *c == '\n' ? SDLK_RETURN : static_cast<SDLKey>(*c);
            Uint16 unicode = *c == '\n' ? '\r' : static_cast<Uint16>(*c);
            SDL_Event down = key(SDL_KEYDOWN, sym, unicode);
            SDL_Event up = key(SDL_KEYUP, sym, 0);
            editor.push_input(&down);
            editor.push_input(&up);
        }
        editor.logic();
    }

    static SDL_Surface* screen_;
};
SDL_Surface* EditorTest::screen_ = nullptr;
} // namespace

TEST_F(EditorTest, StartsWithTheTwoPlaceholderComments) {
    EditorGUI editor(screen_);
    ASSERT_EQ(editor.init_box->getNumberOfRows(), 1u);
    EXPECT_EQ(editor.init_box->getTextRow(0), "-- Initialization Code Goes Here");
    EXPECT_EQ(editor.cycle_box->getTextRow(0), "-- Every-cycle Code Goes Here");
    EXPECT_EQ(editor.init_scroll->getX(), 20);
    EXPECT_EQ(editor.init_scroll->getY(), 50);
    EXPECT_EQ(editor.cycle_scroll->getY(), 220);
    EXPECT_EQ(editor.cycle_scroll->getHeight(), 360);
}

TEST_F(EditorTest, TextIsKeptAsRowsWithoutLineEnds) {
    EditorGUI editor(screen_);
    editor.cycle_box->setText("a = 1\nb = 2\nc = 3");
    ASSERT_EQ(editor.cycle_box->getNumberOfRows(), 3u);
    EXPECT_EQ(editor.cycle_box->getTextRow(0), "a = 1");
    EXPECT_EQ(editor.cycle_box->getTextRow(2), "c = 3");
    EXPECT_EQ(text_of_rows(*editor.cycle_box), "a = 1\nb = 2\nc = 3\n");
    editor.init_box->setText("");
    EXPECT_EQ(text_of_rows(*editor.init_box), "\n");
}

TEST_F(EditorTest, ClickFocusesTheClickedAreaAndKeysTypeIntoIt) {
    EditorGUI editor(screen_);
    editor.init_box->setText("");
    editor.cycle_box->setText("");
    click(editor, 100, 300); // inside the every-cycle area
    type(editor, "x = 1\ny");
    EXPECT_EQ(text_of_rows(*editor.cycle_box), "x = 1\ny\n");
    EXPECT_EQ(text_of_rows(*editor.init_box), "\n");

    click(editor, 100, 60); // now the initialization area
    type(editor, "123");
    EXPECT_EQ(text_of_rows(*editor.init_box), "123\n");
}

TEST_F(EditorTest, EveryGlyphCharacterCanBeTyped) {
    EditorGUI editor(screen_);
    editor.init_box->setText("");
    click(editor, 100, 60);
    type(editor, EDITOR_GLYPHS);
    EXPECT_EQ(editor.init_box->getTextRow(0), EDITOR_GLYPHS);
    EXPECT_EQ(std::strlen(EDITOR_GLYPHS), 95u);
}

TEST_F(EditorTest, DrawsIntoTheWindowSurfaceAndCanBeBuiltAgain) {
    for (int visit = 0; visit < 2; ++visit) {
        EditorGUI editor(screen_);
        SDL_FillRect(screen_, nullptr, SDL_MapRGB(screen_->format, 1, 2, 3));
        editor.logic();
        editor.draw();
        // The text areas paint their own background over the filled window.
        Uint16 inside = static_cast<Uint16*>(screen_->pixels)[(120 * screen_->pitch / 2) + 400];
        EXPECT_NE(inside, SDL_MapRGB(screen_->format, 1, 2, 3));
    }
}
