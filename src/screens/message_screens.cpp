#include "screens/message_screens.h"

#include <string>
#include <vector>

#include "text/message_text.h"
#include "toolkit/present.h"
#include "toolkit/toolkit.h"

namespace {
constexpr int PICTURE_X = 50;
constexpr int PICTURE_Y = 350;
constexpr Uint32 WAIT_MS = 50;

// The error picture's message strip: a frame at (60, 389) 681 x 25 in the
// window with the one-line message centred on (400, 400). A longer message
// is wrapped into MESSAGE_LINES lines on the strip, drawn taller, and the
// last line cut with an ellipsis. The hint goes below, in the free band the
// picture keeps above its own help line, wrapped the same way.
constexpr int MESSAGE_SIZE = 10;
constexpr int MESSAGE_X = 400;
constexpr int MESSAGE_Y = 400;
constexpr int STRIP_X = 60;
constexpr int STRIP_Y = 389;
constexpr int STRIP_W = 681;
constexpr int MESSAGE_WIDTH = STRIP_W - 16;
constexpr std::size_t MESSAGE_LINES = 2;
constexpr int HINT_Y = 427;
constexpr std::size_t HINT_LINES = 2;

bool fits(const std::string& text) {
    return text_width(text.c_str(), MESSAGE_SIZE) <= MESSAGE_WIDTH;
}

// The longest start of `text` that fits a line, broken after a space when
// one lies within it.
std::size_t line_length(const std::string& text) {
    std::size_t length = 0;
    while (length < text.size() && fits(text.substr(0, length + 1)))
        ++length;
    std::size_t space = text.rfind(' ', length);
    if (length < text.size() && space != std::string::npos && space > 0)
        return space + 1;
    return length > 0 ? length : 1;
}

std::vector<std::string> wrapped_lines(std::string text, std::size_t most) {
    std::vector<std::string> lines;
    while (!text.empty() && lines.size() < most) {
        std::size_t length = line_length(text);
        lines.push_back(text.substr(0, length));
        text.erase(0, length);
    }
    if (!text.empty()) {
        std::string& last = lines.back();
        last = cut_to_width(last, MESSAGE_SIZE, MESSAGE_WIDTH, ELLIPSIS);
    }
    return lines;
}

// Lines centred on the message's column, the first with its top at y.
void draw_centred_lines(SDL_Surface* screen, const std::vector<std::string>& lines, int y, int r, int g, int b) {
    for (const std::string& line : lines) {
        int x = MESSAGE_X - text_width(line.c_str(), MESSAGE_SIZE) / 2;
        draw_text(line.c_str(), MESSAGE_SIZE, r, g, b, x, y, screen);
        y += text_line_height(MESSAGE_SIZE);
    }
}

// Makes the picture's strip tall enough for `lines` lines, in its own frame
// and paper colours.
void stretch_strip(SDL_Surface* screen, int height) {
    Uint32 frame = pixel_at(screen, STRIP_X, STRIP_Y);
    Uint32 paper = pixel_at(screen, STRIP_X + 1, STRIP_Y + 1);
    SDL_Rect outer = make_rect(STRIP_X, STRIP_Y, STRIP_W, height + 2);
    SDL_Rect inner = make_rect(STRIP_X + 1, STRIP_Y + 1, STRIP_W - 2, height);
    SDL_FillRect(screen, &outer, frame);
    SDL_FillRect(screen, &inner, paper);
}

void draw_message(SDL_Surface* screen, const char* message) {
    std::string shown = shortened_message(message);
    if (fits(shown)) {
        draw_text_center(shown.c_str(), MESSAGE_SIZE, 0, 0, 0, MESSAGE_X, MESSAGE_Y, screen);
        return;
    }
    std::vector<std::string> lines = wrapped_lines(shown, MESSAGE_LINES);
    stretch_strip(screen, static_cast<int>(lines.size()) * text_line_height(MESSAGE_SIZE) + 4);
    draw_centred_lines(screen, lines, STRIP_Y + 3, 0, 0, 0);
}

void draw_hint(SDL_Surface* screen, const std::string& hint) {
    draw_centred_lines(screen, wrapped_lines(shortened_message(hint), HINT_LINES), HINT_Y, 40, 30, 90);
}

void show_picture(GameInfo* info, const char* path) {
    Picture picture = load_picture(path);
    draw_image(picture.get(), PICTURE_X, PICTURE_Y, info->screen);
}

void wait_for_click() {
    wait_for_answer([](const SDL_Event& event) { return event.type == SDL_MOUSEBUTTONDOWN; });
}
} // namespace

void wait_for_answer(const std::function<bool(const SDL_Event&)>& answered) {
    for (;;) {
        SDL_Delay(WAIT_MS);
        SDL_Event event;
        while (SDL_PollEvent(&event))
            if (answered(event))
                return;
    }
}

void error(GameInfo* info, const char* message) { error(info, message, ""); }

void error(GameInfo* info, const char* message, const std::string& hint) {
    show_picture(info, "img/error.gif");
    draw_message(info->screen, message);
    draw_hint(info->screen, hint);
    present_screen(info->screen);
    wait_for_click();
}

bool quit(GameInfo* info) {
    show_picture(info, "img/quit.gif");
    present_screen(info->screen);
    bool leave = false;
    wait_for_answer([&leave](const SDL_Event& event) {
        if (event.type != SDL_KEYDOWN)
            return false;
        SDLKey key = event.key.keysym.sym;
        leave = key == SDLK_y;
        return key == SDLK_y || key == SDLK_n || key == SDLK_ESCAPE;
    });
    return leave;
}

void win(GameInfo* info) { win(info, [](SDL_Surface*) {}); }

void win(GameInfo* info, const std::function<void(SDL_Surface*)>& draw_over) {
    win(info, draw_over, [](SDLKey) {});
}

void win(GameInfo* info, const std::function<void(SDL_Surface*)>& draw_over,
         const std::function<void(SDLKey)>& on_key) {
    show_picture(info, "img/win.gif");
    draw_over(info->screen);
    present_screen(info->screen);
    wait_for_answer([&on_key](const SDL_Event& event) {
        if (event.type == SDL_KEYDOWN)
            on_key(event.key.keysym.sym);
        return event.type == SDL_MOUSEBUTTONDOWN;
    });
}
