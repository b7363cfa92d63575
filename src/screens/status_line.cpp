#include "screens/status_line.h"

#include "text/message_text.h"
#include "toolkit/pictures.h"
#include "toolkit/toolkit.h"

namespace {
constexpr int TEXT_SIZE = 10;
constexpr int TEXT_X = STATUS_X + 5;
constexpr int TEXT_Y = STATUS_Y + 1;
constexpr int TEXT_WIDTH = STATUS_W - 10;

// The paused plate on the simulation panel, and the window in it that holds
// the step number.
constexpr const char* PAUSED_PLATE = "img/paused.gif";
constexpr int PLATE_X = 662;
constexpr int PLATE_Y = 424;
constexpr int NUMBER_X = PLATE_X + 64;
constexpr int NUMBER_Y = PLATE_Y + 50;
// The sign that covers the RUNNING plate at the panel's top.
constexpr const char* PAUSED_SIGN = "img/paused_sign.gif";
constexpr int SIGN_X = 666;
constexpr int SIGN_Y = 14;

// The longest start of the text that fits the strip, with an ellipsis when cut.
std::string fitted(const std::string& text) {
    if (text_width(text.c_str(), TEXT_SIZE) <= TEXT_WIDTH)
        return text;
    return cut_to_width(text, TEXT_SIZE, TEXT_WIDTH, ELLIPSIS);
}
} // namespace

void draw_status(SDL_Surface* screen, const std::string& text, StatusTone tone) {
    if (screen == nullptr)
        return;
    // The strip is painted over in its own colour, as the background has it.
    SDL_Rect strip = make_rect(STATUS_X, STATUS_Y, STATUS_W, STATUS_H);
    SDL_FillRect(screen, &strip, pixel_at(screen, STATUS_X + 1, STATUS_Y + STATUS_H - 2));
    std::string shown = fitted(shortened_message(text));
    if (tone == StatusTone::refusal)
        draw_text(shown.c_str(), TEXT_SIZE, 255, 120, 100, TEXT_X, TEXT_Y, screen);
    else
        draw_text(shown.c_str(), TEXT_SIZE, 240, 226, 180, TEXT_X, TEXT_Y, screen);
}

void StatusLine::say(const std::string& text, StatusTone tone) {
    text_ = text;
    tone_ = tone;
    since_ = SDL_GetTicks();
}

const std::string& StatusLine::text() const {
    static const std::string none;
    return SDL_GetTicks() - since_ < SHOWN_MS ? text_ : none;
}

void StatusLine::draw(SDL_Surface* screen) const {
    if (!text().empty())
        draw_status(screen, text_, tone_);
}

void draw_paused_run(SDL_Surface* screen, int step) {
    draw_image(cached_picture(PAUSED_SIGN), SIGN_X, SIGN_Y, screen);
    draw_image(cached_picture(PAUSED_PLATE), PLATE_X, PLATE_Y, screen);
    std::string number = "step " + std::to_string(step);
    draw_text_center(number.c_str(), 12, 30, 26, 22, NUMBER_X, NUMBER_Y, screen);
    draw_status(screen, "Paused. S: one more step   Space: full pace   Esc: stop", StatusTone::news);
}
