#include "editorgui/editor_gui.h"

#include "toolkit/gui_font.h"

namespace {
constexpr const char* BACKGROUND_PICTURE = "img/background_editing.gif";
constexpr int AREA_X = 20;
constexpr int AREA_WIDTH = 760;
// A click on a scroll arrow moves a few lines at a time rather than a few pixels.
constexpr int ARROW_SCROLL_AMOUNT = 50;
constexpr const char* INIT_PLACEHOLDER = "-- Initialization Code Goes Here";
constexpr const char* CYCLE_PLACEHOLDER = "-- Every-cycle Code Goes Here";
} // namespace

EditorGUI::EditorGUI(SDL_Surface* screen) {
    // The loader must be in place before any picture or font is loaded.
    image_loader = std::make_unique<gcn::SDLImageLoader>();
    gcn::Image::setImageLoader(image_loader.get());

    input = std::make_unique<gcn::SDLInput>();
    graphics = std::make_unique<gcn::SDLGraphics>();
    gui = std::make_unique<gcn::Gui>();
    top = std::make_unique<gcn::Container>();
    top->setDimension(gcn::Rectangle(0, 0, 800, 600));
    graphics->setTarget(screen);
    gui->setGraphics(graphics.get());
    gui->setInput(input.get());
    gui->setTop(top.get());

    load_font();
    load_background();
    add_code_area(init_box, init_scroll, INIT_PLACEHOLDER, 50, 150);
    add_code_area(cycle_box, cycle_scroll, CYCLE_PLACEHOLDER, 220, 360);
}

// A missing or broken font picture leaves the library's built-in font in use.
void EditorGUI::load_font() {
    font = load_gui_font();
    if (font)
        gcn::Widget::setGlobalFont(font.get());
}

// Without its picture the editor simply shows no background.
void EditorGUI::load_background() {
    try {
        background_image.reset(gcn::Image::load(BACKGROUND_PICTURE, true));
    } catch (const gcn::Exception&) {
        background_image.reset();
    }
    if (!background_image)
        return;
    background_icon = std::make_unique<gcn::Icon>(background_image.get());
    top->add(background_icon.get(), 0, 0);
}

void EditorGUI::add_code_area(std::unique_ptr<gcn::TextBox>& box, std::unique_ptr<gcn::ScrollArea>& scroll,
                              const char* text, int y, int height) {
    box = std::make_unique<gcn::TextBox>(text);
    scroll = std::make_unique<gcn::ScrollArea>(box.get());
    scroll->setWidth(AREA_WIDTH);
    scroll->setHeight(height);
    scroll->setFrameSize(1);
    scroll->setUpButtonScrollAmount(ARROW_SCROLL_AMOUNT);
    scroll->setDownButtonScrollAmount(ARROW_SCROLL_AMOUNT);
    top->add(scroll.get(), AREA_X, y);
}

EditorGUI::~EditorGUI() {
    image_loader.reset();
    input.reset();
    graphics.reset();
    gui.reset();
    top.reset();
    // Widgets built later fall back to the library's own font until the next
    // editor installs ours again.
    gcn::Widget::setGlobalFont(nullptr);
    font.reset();
    background_image.reset();
    background_icon.reset();
    init_box.reset();
    init_scroll.reset();
    cycle_box.reset();
    cycle_scroll.reset();
    gcn::Image::setImageLoader(nullptr);
}

void EditorGUI::push_input(SDL_Event* event) {
    input->pushInput(*event);
    // The library handles queued keys before queued mouse presses, so a
    // click that moves the focus takes effect at once: keys typed right
    // after it, in the same frame, go to the box that was clicked.
    if (event->type == SDL_MOUSEBUTTONDOWN || event->type == SDL_MOUSEBUTTONUP)
        gui->logic();
    if (event->type == SDL_MOUSEBUTTONDOWN) {
        open_below_placeholder(*init_box, init_clicked, INIT_PLACEHOLDER);
        open_below_placeholder(*cycle_box, cycle_clicked, CYCLE_PLACEHOLDER);
    }
}

// The first click into a box that still holds only its placeholder comment
// puts the caret on a fresh line below it; typed after the comment, the
// program would be part of it.
void EditorGUI::open_below_placeholder(gcn::TextBox& box, bool& clicked, const char* placeholder) {
    if (clicked || !box.isFocused())
        return;
    clicked = true;
    if (box.getText() != placeholder)
        return;
    box.setText(std::string(placeholder) + "\n");
    box.setCaretRowColumn(1, 0);
}

void EditorGUI::logic() { gui->logic(); }

void EditorGUI::draw() { gui->draw(); }

std::vector<std::string> rows_of(const gcn::TextBox& box) {
    std::vector<std::string> rows;
    for (unsigned row = 0; row < box.getNumberOfRows(); ++row)
        rows.push_back(box.getTextRow(static_cast<int>(row)));
    return rows;
}

std::string text_of_rows(const gcn::TextBox& box) {
    std::string text;
    for (const std::string& row : rows_of(box))
        text += row + "\n";
    return text;
}
