// The parts bin's buttons and the code editor's text areas.
#include <gtest/gtest.h>

#include <cstring>

#include "conveyer/conveyer.h"
#include "editorgui/editor_gui.h"
#include "files/describe.h"
#include "partsbin/parts_bin.h"
#include "support.h"

namespace {
std::string taken(PartsBin& bin, int x, int y) {
    std::unique_ptr<Device> device = bin.click(x, y);
    return device ? describe_part(*device) : "nothing";
}
} // namespace

TEST(PartsBin, ButtonsHandOutNewDevicesAndShapeTheNextBelt) {
    PartsBin bin;
    ASSERT_EQ(bin.items.size(), 28u);
    EXPECT_EQ(taken(bin, 109, 469), "part b x=0 y=0 length=1 direction=0 period=10") << "a fresh belt";
    EXPECT_EQ(taken(bin, 110, 469), "nothing") << "the drag area ends at x = 109";
    // Setting buttons hand out nothing; their hit area is 30 x 29 pixels.
    EXPECT_EQ(taken(bin, 24 + 29, 104 + 28), "nothing");
    EXPECT_EQ(taken(bin, 59 + 30, 72), "nothing");
    EXPECT_EQ(taken(bin, 92, 342), "nothing");
    EXPECT_EQ(taken(bin, 92, 200), "nothing");
    EXPECT_EQ(taken(bin, 38, 431), "part b x=0 y=0 length=8 direction=3 period=5");
    const struct {
        int page, x, y;
        const char* device;
    } buttons[] = {
        {1, 24, 84, "part f x=0 y=0 number=0 direction=3"},  {1, 95, 208, "part g x=0 y=0 number=0 direction=1"},
        {2, 59, 52, "part e x=0 y=0 number=0 direction=0"},  {2, 59, 84, "part e x=0 y=0 number=0 direction=2"},
        {2, 92, 167, "part d x=0 y=0 number=0 red=255 green=128 blue=0"},
        {2, 30, 210, "part d x=0 y=0 number=0 red=255 green=0 blue=0"},
        {2, 30, 288, "part c x=0 y=0 number=0 length=18 left=1"}, {2, 92, 288, "part c x=0 y=0 number=0 length=18 left=0"},
        {2, 60, 450, "nothing"},
    };
    for (const auto& b : buttons) {
        bin.goto_page(b.page);
        EXPECT_EQ(taken(bin, b.x, b.y), b.device) << b.page << ": " << b.x << ", " << b.y;
    }
    std::unique_ptr<Device> first = bin.click(59, 52), second = bin.click(59, 52);
    EXPECT_NE(first.get(), second.get()) << "a new copy each time";
    EXPECT_EQ(first->name[0], '\0');
}

TEST(PartsBin, PageArrowsStopAtTheFirstAndLastPage) {
    PartsBin bin;
    std::vector<int> pages;
    for (auto [x, y] : {std::pair{21, 516}, {134, 529}, {86, 516}, {100, 520}, {69, 529}}) {
        bin.click(x, y);
        pages.push_back(bin.page);
    }
    bin.goto_page(5);
    bin.goto_page(-1);
    pages.push_back(bin.page);
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2, 2, 1, 1}));
}

class EditorTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        editor_ = std::make_unique<EditorGUI>(info_.screen);
    }
    void TearDown() override {
        editor_.reset();
        WindowTest::TearDown();
    }
    void click(int x, int y) {
        for (Uint8 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
            SDL_Event event = mouse_event(type, x, y);
            editor_->push_input(&event);
        }
        editor_->logic();
    }
    void type(const std::string& text) {
        for (char c : text) {
            SDL_Event down = c == '\n' ? key_event(SDLK_RETURN, '\r') : key_event(static_cast<SDLKey>(c), c);
            editor_->push_input(&down);
        }
        editor_->logic();
    }
    std::unique_ptr<EditorGUI> editor_;
};

TEST_F(EditorTest, StartsWithPlaceholdersAndTypesIntoTheClickedArea) {
    EXPECT_EQ(text_of_rows(*editor_->init_box), "-- Initialization Code Goes Here\n");
    EXPECT_EQ(text_of_rows(*editor_->cycle_box), "-- Every-cycle Code Goes Here\n");
    editor_->init_box->setText("");
    editor_->cycle_box->setText("");
    click(100, 300); // inside the every-cycle area
    type("x = 1\ny");
    EXPECT_EQ(rows_of(*editor_->cycle_box), (std::vector<std::string>{"x = 1", "y"}));
    EXPECT_EQ(text_of_rows(*editor_->init_box), "\n");
    click(100, 60); // now the initialization area
    type(EDITOR_GLYPHS);
    EXPECT_EQ(editor_->init_box->getTextRow(0), EDITOR_GLYPHS) << "every glyph can be typed";
    EXPECT_EQ(std::strlen(EDITOR_GLYPHS), 95u);
}
