// The in-game file chooser: a modal screen drawn with the same GUI library as
// the code editor.
#include "screens/file_chooser.h"

#include <guichan.hpp>
#include <guichan/sdl.hpp>

#include <memory>

#include "toolkit/gui_font.h"
#include "toolkit/present.h"
#include "toolkit/toolkit.h"

namespace {
constexpr int PANEL_X = 20;
constexpr int PANEL_Y = 80;
constexpr int PANEL_W = 760;
constexpr int PANEL_H = 440;
constexpr int BUTTON_W = 90;
constexpr int LIST_H = 210;
// Glyph width of the list's font when the font cannot be loaded.
constexpr int GLYPH_W_FALLBACK = 8;
constexpr int FRAME_DELAY_MS = 20;

bool hits(gcn::Widget& widget, int x, int y) {
    int left = 0;
    int top = 0;
    widget.getAbsolutePosition(left, top);
    return x >= left && x < left + widget.getWidth() && y >= top && y < top + widget.getHeight();
}

class EntryList : public gcn::ListModel {
public:
    explicit EntryList(const FileChooserModel& model) : model_(model) {}
    int getNumberOfElements() override { return static_cast<int>(model_.entries().size()); }
    std::string getElementAt(int i) override {
        if (i < 0 || i >= getNumberOfElements())
            return "";
        return model_.row_text(model_.entries()[static_cast<size_t>(i)], columns);
    }
    // Characters that fit a row.
    std::size_t columns = 60;

private:
    const FileChooserModel& model_;
};

class FilterList : public gcn::ListModel {
public:
    int getNumberOfElements() override { return FileChooserModel::FILTER_COUNT; }
    std::string getElementAt(int i) override {
        return i >= 0 && i < FileChooserModel::FILTER_COUNT ? FileChooserModel::FILTER_NAMES[i] : "";
    }
};

class ChooserScreen : public gcn::ActionListener, public gcn::MouseListener, public gcn::SelectionListener {
public:
    ChooserScreen(SDL_Surface* screen, ChooserMode mode, const char* start_folder, const std::string& proposed_name);
    ~ChooserScreen() override;
    std::optional<std::string> run();

    void action(const gcn::ActionEvent& event) override;
    void mouseClicked(gcn::MouseEvent& event) override;
    void valueChanged(const gcn::SelectionEvent& event) override;

private:
    void build_widgets();
    void place(gcn::Widget& widget, int x, int y);
    void place_label(gcn::Label& label, const std::string& caption, int x, int y);
    void place_button(gcn::Button& button, int x, int y);
    void handle(SDL_Event& event);
    bool replace_proposal(const SDL_Event& event);
    void show_detail();
    void answer_replace_question(SDLKey key);
    void submit(const std::string& name);
    void open_entry(int index);
    void show_folder();
    void say(const std::string& message);
    void draw();

    SDL_Surface* screen_;
    FileChooserModel model_;
    EntryList entry_list_;
    FilterList filter_list_;
    Picture backdrop_;

    gcn::ImageLoader* previous_loader_;
    std::unique_ptr<gcn::SDLImageLoader> loader_;
    std::unique_ptr<gcn::ImageFont> font_;
    gcn::SDLInput input_;
    gcn::SDLGraphics graphics_;
    gcn::Gui gui_;
    gcn::Container top_;
    gcn::Container panel_;
    gcn::Label title_;
    gcn::Label folder_label_;
    gcn::ListBox list_;
    gcn::ScrollArea list_scroll_;
    gcn::Label detail_;
    gcn::Label filter_caption_;
    gcn::DropDown filter_;
    gcn::Label name_caption_;
    gcn::TextField name_field_;
    gcn::Button ok_;
    gcn::Button cancel_;
    gcn::Label message_;

    // The proposed name is still untouched: typing replaces it.
    bool proposal_fresh_ = false;
    bool done_ = false;
    bool asking_replace_ = false;
    std::filesystem::path pending_;
    std::optional<std::string> result_;
};

ChooserScreen::ChooserScreen(SDL_Surface* screen, ChooserMode mode, const char* start_folder,
                             const std::string& proposed_name)
    : screen_(screen), model_(mode, start_folder), entry_list_(model_),
      previous_loader_(gcn::Image::getImageLoader()), list_(&entry_list_), list_scroll_(&list_),
      filter_(&filter_list_), ok_(mode == ChooserMode::Open ? "Open" : "Save"), cancel_("Cancel") {
    // Fonts and pictures need a loader; the editor may already have one in place.
    if (previous_loader_ == nullptr) {
        loader_ = std::make_unique<gcn::SDLImageLoader>();
        gcn::Image::setImageLoader(loader_.get());
    }
    font_ = load_gui_font();
    // Keep what lay beneath, dimmed, to repaint behind the panel every frame.
    backdrop_.reset(SDL_ConvertSurface(screen_, screen_->format, SDL_SWSURFACE));
    if (backdrop_) {
        Picture shade = plain_picture(screen_, screen_->w, screen_->h, 0, 0, 0);
        if (shade)
            draw_image_fade(shade.get(), 0, 0, backdrop_.get(), 140);
    }
    build_widgets();
    show_folder();
    name_field_.setText(proposed_name);
    name_field_.setCaretPosition(static_cast<unsigned int>(proposed_name.size()));
    proposal_fresh_ = !proposed_name.empty();
    name_field_.requestFocus();
}

ChooserScreen::~ChooserScreen() {
    gui_.setTop(nullptr);
    gcn::Image::setImageLoader(previous_loader_);
}

void ChooserScreen::place(gcn::Widget& widget, int x, int y) {
    if (font_)
        widget.setFont(font_.get());
    panel_.add(&widget, x, y);
}

void ChooserScreen::place_label(gcn::Label& label, const std::string& caption, int x, int y) {
    label.setCaption(caption);
    place(label, x, y);
    label.adjustSize();
}

void ChooserScreen::place_button(gcn::Button& button, int x, int y) {
    place(button, x, y);
    button.setBaseColor(gcn::Color(214, 178, 104));
    button.adjustSize();
    button.setWidth(BUTTON_W);
}

void ChooserScreen::build_widgets() {
    graphics_.setTarget(screen_);
    gui_.setGraphics(&graphics_);
    gui_.setInput(&input_);
    top_.setDimension(gcn::Rectangle(0, 0, screen_->w, screen_->h));
    top_.setOpaque(false);
    gui_.setTop(&top_);
    panel_.setDimension(gcn::Rectangle(0, 0, PANEL_W, PANEL_H));
    panel_.setBaseColor(gcn::Color(222, 214, 196));
    panel_.setFrameSize(2);
    top_.add(&panel_, PANEL_X, PANEL_Y);

    place_label(title_, model_.mode() == ChooserMode::Open ? "Open" : "Save", 16, 12);
    place_label(folder_label_, "", 16, 38);
    list_scroll_.setDimension(gcn::Rectangle(0, 0, PANEL_W - 32, LIST_H));
    list_scroll_.setFrameSize(1);
    list_scroll_.setHorizontalScrollPolicy(gcn::ScrollArea::SHOW_NEVER);
    list_.setWidth(PANEL_W - 32 - list_scroll_.getScrollbarWidth());
    list_.addMouseListener(this);
    list_.addSelectionListener(this);
    if (font_)
        list_.setFont(font_.get());
    place(list_scroll_, 16, 62);
    entry_list_.columns = static_cast<std::size_t>(list_.getWidth() - 4) /
                          static_cast<std::size_t>(font_ ? font_->getWidth("M") : GLYPH_W_FALLBACK);
    place_label(detail_, "", 16, 62 + LIST_H + 6);
    place_label(filter_caption_, "Show:", 16, 308);
    filter_.setSelected(0);
    filter_.addActionListener(this);
    place(filter_, 110, 306);
    filter_.setWidth(260);
    filter_.adjustHeight();
    place_label(name_caption_, "File name:", 16, 340);
    place(name_field_, 110, 338);
    name_field_.adjustHeight();
    name_field_.setWidth(PANEL_W - 126);
    place_button(ok_, PANEL_W - 2 * BUTTON_W - 30, 402);
    ok_.addActionListener(this);
    place_button(cancel_, PANEL_W - BUTTON_W - 16, 402);
    cancel_.addActionListener(this);
    place_label(message_, "", 16, 374);
}

void ChooserScreen::show_folder() {
    folder_label_.setCaption(model_.folder().string());
    folder_label_.adjustSize();
    list_.setSelected(-1);
    list_.adjustSize();
    list_scroll_.setVerticalScrollAmount(0);
    show_detail();
}

// The whole description of the file chosen in the list, which its row may
// show cut.
void ChooserScreen::show_detail() {
    int index = list_.getSelected();
    const auto& entries = model_.entries();
    std::string text;
    if (index >= 0 && index < static_cast<int>(entries.size()) && !entries[static_cast<size_t>(index)].is_folder)
        text = entries[static_cast<size_t>(index)].summary.description;
    detail_.setCaption(text);
    detail_.adjustSize();
}

void ChooserScreen::say(const std::string& message) {
    message_.setCaption(message);
    message_.adjustSize();
}

void ChooserScreen::submit(const std::string& name) {
    FileChooserModel::Answer answer = model_.accept(name);
    switch (answer.verdict) {
    case FileChooserModel::Verdict::Accepted:
        result_ = answer.path.string();
        done_ = true;
        break;
    case FileChooserModel::Verdict::Refused:
        say(answer.message);
        break;
    case FileChooserModel::Verdict::AskReplace:
        asking_replace_ = true;
        pending_ = answer.path;
        say(answer.message);
        break;
    case FileChooserModel::Verdict::EnteredFolder:
        name_field_.setText("");
        show_folder();
        say("");
        break;
    }
}

void ChooserScreen::open_entry(int index) {
    if (index < 0 || index >= static_cast<int>(model_.entries().size()))
        return;
    const auto& entry = model_.entries()[static_cast<size_t>(index)];
    if (entry.is_folder) {
        model_.enter(entry.name);
        show_folder();
        say("");
    } else {
        submit(entry.name);
    }
}

void ChooserScreen::action(const gcn::ActionEvent& event) {
    if (event.getSource() == &ok_) {
        submit(name_field_.getText());
    } else if (event.getSource() == &cancel_) {
        done_ = true;
    } else if (event.getSource() == &filter_) {
        model_.set_filter(filter_.getSelected());
        show_folder();
    }
}

void ChooserScreen::mouseClicked(gcn::MouseEvent& event) {
    if (event.getClickCount() >= 2)
        open_entry(list_.getSelected());
}

void ChooserScreen::valueChanged(const gcn::SelectionEvent&) {
    show_detail();
    proposal_fresh_ = false;
    int index = list_.getSelected();
    if (index >= 0 && index < static_cast<int>(model_.entries().size()) &&
        !model_.entries()[static_cast<size_t>(index)].is_folder)
        name_field_.setText(model_.entries()[static_cast<size_t>(index)].name);
}

void ChooserScreen::answer_replace_question(SDLKey key) {
    if (key == SDLK_y) {
        result_ = pending_.string();
        done_ = true;
    } else if (key == SDLK_n || key == SDLK_ESCAPE) {
        asking_replace_ = false;
        say("");
    }
}

void ChooserScreen::handle(SDL_Event& event) {
    if (event.type == SDL_QUIT) {
        done_ = true;
        return;
    }
    bool key_down = event.type == SDL_KEYDOWN;
    if (asking_replace_) {
        // Only the answer to the question counts while it is asked: Y or the
        // save button for yes, N, Escape or the cancel button for no.
        if (key_down)
            answer_replace_question(event.key.keysym.sym);
        else if (event.type == SDL_MOUSEBUTTONDOWN && hits(ok_, event.button.x, event.button.y))
            answer_replace_question(SDLK_y);
        else if (event.type == SDL_MOUSEBUTTONDOWN && hits(cancel_, event.button.x, event.button.y))
            answer_replace_question(SDLK_n);
        return;
    }
    if (key_down && event.key.keysym.sym == SDLK_ESCAPE) {
        done_ = true;
        return;
    }
    if (key_down && (event.key.keysym.sym == SDLK_RETURN || event.key.keysym.sym == SDLK_KP_ENTER)) {
        submit(name_field_.getText());
        return;
    }
    if (replace_proposal(event))
        return;
    // Handled at once, so that keys typed before Enter are in the field when
    // Enter arrives in the same batch of events.
    input_.pushInput(event);
    gui_.logic();
}

// The proposed name behaves as if selected: a typed character replaces it,
// Backspace or Delete clears it, moving the caret or clicking keeps it for
// editing. True when the event was used up.
bool ChooserScreen::replace_proposal(const SDL_Event& event) {
    if (!proposal_fresh_)
        return false;
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        proposal_fresh_ = false;
        return false;
    }
    if (event.type != SDL_KEYDOWN)
        return false;
    SDLKey key = event.key.keysym.sym;
    Uint16 typed = event.key.keysym.unicode;
    bool erase = key == SDLK_BACKSPACE || key == SDLK_DELETE;
    if (erase || (typed >= ' ' && typed != 0x7f)) {
        proposal_fresh_ = false;
        name_field_.setText("");
        name_field_.setCaretPosition(0);
        return erase;
    }
    if (key == SDLK_LEFT || key == SDLK_RIGHT || key == SDLK_HOME || key == SDLK_END)
        proposal_fresh_ = false;
    return false;
}

void ChooserScreen::draw() {
    if (backdrop_)
        draw_image(backdrop_.get(), 0, 0, screen_);
    gui_.draw();
    present_screen(screen_);
}

std::optional<std::string> ChooserScreen::run() {
    SDL_EnableKeyRepeat(SDL_DEFAULT_REPEAT_DELAY, SDL_DEFAULT_REPEAT_INTERVAL);
    while (!done_) {
        SDL_Event event;
        while (!done_ && SDL_PollEvent(&event))
            handle(event);
        if (done_)
            break;
        gui_.logic();
        draw();
        SDL_Delay(FRAME_DELAY_MS);
    }
    SDL_EnableKeyRepeat(0, SDL_DEFAULT_REPEAT_INTERVAL);
    return result_;
}
} // namespace

std::optional<std::string> choose_file(SDL_Surface* screen, ChooserMode mode, const char* start_folder,
                                       const std::string& proposed_name) {
    if (screen == nullptr)
        return std::nullopt;
    ChooserScreen chooser(screen, mode, start_folder, proposed_name);
    return chooser.run();
}
