// The status line of the level window: a sunk strip in the bottom bar,
// between the save and run buttons, where the backgrounds show their own
// idle text and the game writes short news over it: why a drop is refused,
// where a save went, that a run stands paused.
#ifndef GEARLOFT_SCREENS_STATUS_LINE_H
#define GEARLOFT_SCREENS_STATUS_LINE_H

#include <SDL.h>

#include <string>

enum class StatusTone { news, refusal };

// The strip inside its rim, in window pixels.
constexpr int STATUS_X = 95;
constexpr int STATUS_Y = 574;
constexpr int STATUS_W = 352;
constexpr int STATUS_H = 17;

// Writes `text` into the strip over the background's own text, cut to fit.
void draw_status(SDL_Surface* screen, const std::string& text, StatusTone tone);

// News that stays for a few seconds, or until other news replaces it.
class StatusLine {
public:
    static constexpr Uint32 SHOWN_MS = 5000;

    void say(const std::string& text, StatusTone tone = StatusTone::news);
    void clear() { text_.clear(); }
    // The news still shown, empty once it has gone.
    const std::string& text() const;
    // Draws the news, if any is still shown.
    void draw(SDL_Surface* screen) const;

private:
    std::string text_;
    StatusTone tone_ = StatusTone::news;
    Uint32 since_ = 0;
};

// The paused run on the simulation screen: the plate with the step number
// on the panel, and the keys that go on in the status line.
void draw_paused_run(SDL_Surface* screen, int step);

#endif
