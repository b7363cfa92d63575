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
    image_loader_ = std::make_unique<gcn::SDLImageLoader>();
    gcn::Image::setImageLoader(image_loader_.get());

    input_ = std::make_unique<gcn::SDLInput>();
    graphics_ = std::make_unique<gcn::SDLGraphics>();
    gui_ = std::make_unique<gcn::Gui>();
    top_ = std::make_unique<gcn::Container>();
    top_->setDimension(gcn::Rectangle(0, 0, 800, 600));
    graphics_->setTarget(screen);
    gui_->setGraphics(graphics_.get());
    gui_->setInput(input_.get());
    gui_->setTop(top_.get());

    load_font();
    load_background();
    add_code_area(init_box_, init_scroll_, INIT_PLACEHOLDER, 50, 150);
    add_code_area(cycle_box_, cycle_scroll_, CYCLE_PLACEHOLDER, 220, 360);
}

// A missing or broken font picture leaves the library's built-in font in use.
void EditorGUI::load_font() {
    font_ = load_gui_font();
    if (font_)
        gcn::Widget::setGlobalFont(font_.get());
}

// Without its picture the editor simply shows no background.
void EditorGUI::load_background() {
    try {
        background_image_.reset(gcn::Image::load(BACKGROUND_PICTURE, true));
    } catch (const gcn::Exception&) {
        background_image_.reset();
    }
    if (!background_image_)
        return;
    background_icon_ = std::make_unique<gcn::Icon>(background_image_.get());
    top_->add(background_icon_.get(), 0, 0);
}

void EditorGUI::add_code_area(std::unique_ptr<CodeTextBox>& box, std::unique_ptr<gcn::ScrollArea>& scroll,
                              const char* text, int y, int height) {
    box = std::make_unique<CodeTextBox>(text);
    scroll = std::make_unique<gcn::ScrollArea>(box.get());
    scroll->setWidth(AREA_WIDTH);
    scroll->setHeight(height);
    scroll->setFrameSize(1);
    scroll->setUpButtonScrollAmount(ARROW_SCROLL_AMOUNT);
    scroll->setDownButtonScrollAmount(ARROW_SCROLL_AMOUNT);
    top_->add(scroll.get(), AREA_X, y);
}

EditorGUI::~EditorGUI() {
    image_loader_.reset();
    input_.reset();
    graphics_.reset();
    gui_.reset();
    top_.reset();
    // Widgets built later fall back to the library's own font until the next
    // editor installs ours again.
    gcn::Widget::setGlobalFont(nullptr);
    font_.reset();
    background_image_.reset();
    background_icon_.reset();
    init_box_.reset();
    init_scroll_.reset();
    cycle_box_.reset();
    cycle_scroll_.reset();
    gcn::Image::setImageLoader(nullptr);
}

void EditorGUI::push_input(const SDL_Event& event) {
    input_->pushInput(event);
    // The library handles queued keys before queued mouse presses, so a
    // click that moves the focus takes effect at once: keys typed right
    // after it, in the same frame, go to the box that was clicked.
    if (event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP)
        gui_->logic();
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        open_below_placeholder(*init_box_, init_clicked_, INIT_PLACEHOLDER);
        open_below_placeholder(*cycle_box_, cycle_clicked_, CYCLE_PLACEHOLDER);
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

void EditorGUI::logic() { gui_->logic(); }

void EditorGUI::draw() { gui_->draw(); }

std::vector<std::string> EditorGUI::rows(CodeBox which) const {
    const gcn::TextBox& box = box_of(which);
    std::vector<std::string> rows;
    for (unsigned row = 0; row < box.getNumberOfRows(); ++row)
        rows.push_back(box.getTextRow(static_cast<int>(row)));
    return rows;
}

std::string EditorGUI::text(CodeBox which) const {
    std::string text;
    for (const std::string& row : rows(which))
        text += row + "\n";
    return text;
}

void EditorGUI::set_text(CodeBox which, const std::string& text) {
    bool ends_row = !text.empty() && text.back() == '\n';
    box_of(which).replace_text(ends_row ? text.substr(0, text.size() - 1) : text);
}
