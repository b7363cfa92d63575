#ifndef GEARLOFT_EDITORGUI_EDITOR_GUI_H
#define GEARLOFT_EDITORGUI_EDITOR_GUI_H

#include <SDL.h>

#include <guichan.hpp>
#include <guichan/sdl.hpp>

#include <memory>
#include <string>
#include <vector>

#include "editorgui/code_text_box.h"

// Which of the editor's two boxes: the code run once at the start of a run,
// or the code run every cycle.
enum class CodeBox { init, cycle };

// The code editor: a full-window picture with two text areas, the upper one
// for the code run once at the start, the lower one for the code run every
// cycle, each with selection, the game's clipboard and undo (see
// editorgui/code_text_box.h). The level loop feeds it events and lets it draw.
class EditorGUI {
public:
    explicit EditorGUI(SDL_Surface* screen);
    ~EditorGUI();
    EditorGUI(const EditorGUI&) = delete;
    EditorGUI& operator=(const EditorGUI&) = delete;

    void push_input(const SDL_Event& event);
    void logic();
    void draw();

    // A box's rows.
    std::vector<std::string> rows(CodeBox box) const;
    // The same as one text, each row followed by a line end.
    std::string text(CodeBox box) const;
    // Shows a program text in a box, with nothing selected and nothing to
    // undo; a last line end starts no empty row, so a box shows again what
    // `text` gave.
    void set_text(CodeBox box, const std::string& text);

private:
    std::unique_ptr<gcn::SDLImageLoader> image_loader_;
    std::unique_ptr<gcn::SDLInput> input_;
    std::unique_ptr<gcn::SDLGraphics> graphics_;
    std::unique_ptr<gcn::Gui> gui_;
    std::unique_ptr<gcn::Container> top_;
    std::unique_ptr<gcn::ImageFont> font_;
    std::unique_ptr<gcn::Icon> background_icon_;
    std::unique_ptr<gcn::Image> background_image_;
    std::unique_ptr<CodeTextBox> init_box_;
    std::unique_ptr<gcn::ScrollArea> init_scroll_;
    std::unique_ptr<CodeTextBox> cycle_box_;
    std::unique_ptr<gcn::ScrollArea> cycle_scroll_;
    // Each box has had its first click.
    bool init_clicked_ = false;
    bool cycle_clicked_ = false;

    CodeTextBox& box_of(CodeBox which) const { return which == CodeBox::init ? *init_box_ : *cycle_box_; }
    void load_font();
    void load_background();
    void add_code_area(std::unique_ptr<CodeTextBox>& box, std::unique_ptr<gcn::ScrollArea>& scroll, const char* text,
                       int y, int height);
    void open_below_placeholder(gcn::TextBox& box, bool& clicked, const char* placeholder);
};

#endif
