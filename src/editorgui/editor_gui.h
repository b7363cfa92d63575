#ifndef GEARLOFT_EDITORGUI_EDITOR_GUI_H
#define GEARLOFT_EDITORGUI_EDITOR_GUI_H

#include <SDL.h>

#include <guichan.hpp>
#include <guichan/sdl.hpp>

#include <memory>
#include <string>
#include <vector>

// The code editor: a full-window picture with two text areas, the upper one
// for the code run once at the start, the lower one for the code run every
// cycle. The level loop feeds it events and lets it draw.
class EditorGUI {
public:
    std::unique_ptr<gcn::SDLImageLoader> image_loader;
    std::unique_ptr<gcn::SDLInput> input;
    std::unique_ptr<gcn::SDLGraphics> graphics;
    std::unique_ptr<gcn::Gui> gui;
    std::unique_ptr<gcn::Container> top;
    std::unique_ptr<gcn::ImageFont> font;
    std::unique_ptr<gcn::Icon> background_icon;
    std::unique_ptr<gcn::Image> background_image;
    std::unique_ptr<gcn::TextBox> init_box;
    std::unique_ptr<gcn::ScrollArea> init_scroll;
    std::unique_ptr<gcn::TextBox> cycle_box;
    std::unique_ptr<gcn::ScrollArea> cycle_scroll;

    explicit EditorGUI(SDL_Surface* screen);
    ~EditorGUI();
    EditorGUI(const EditorGUI&) = delete;
    EditorGUI& operator=(const EditorGUI&) = delete;

    void push_input(SDL_Event* event);
    void logic();
    void draw();

private:
    // Each box has had its first click.
    bool init_clicked = false;
    bool cycle_clicked = false;

    void load_font();
    void load_background();
    void add_code_area(std::unique_ptr<gcn::TextBox>& box, std::unique_ptr<gcn::ScrollArea>& scroll,
                       const char* text, int y, int height);
    void open_below_placeholder(gcn::TextBox& box, bool& clicked, const char* placeholder);
};

// A text box's rows, and the same as one text with each row followed by a
// line end.
std::vector<std::string> rows_of(const gcn::TextBox& box);
std::string text_of_rows(const gcn::TextBox& box);

#endif
