#ifndef GEARLOFT_SCREENS_MESSAGE_SCREENS_H
#define GEARLOFT_SCREENS_MESSAGE_SCREENS_H

#include <SDL.h>

#include <functional>
#include <string>

#include "screens/game_info.h"

// The level's message screens. Each draws its picture at (50, 350) over what
// the window shows and waits for the player's answer.

// The modal screens' wait: sleeps 50 ms, then takes the pending events one by
// one until `answered` accepts one; every other event is swallowed.
void wait_for_answer(const std::function<bool(const SDL_Event&)>& answered);

// Shows the message until a mouse button is pressed.
void error(GameInfo* info, const char* message);
// The same with a hint in the player's terms below the message (see
// run/error_hint.h); an empty hint shows nothing.
void error(GameInfo* info, const char* message, const std::string& hint);
// Asks whether to leave the level: Y answers yes, N or Escape no.
bool quit(GameInfo* info);
// Shows that the level is solved until a mouse button is pressed.
void win(GameInfo* info);
// The same, with `draw_over` drawing on the window after the win picture.
void win(GameInfo* info, const std::function<void(SDL_Surface*)>& draw_over);
// The same, handing every key pressed while it waits to `on_key`.
void win(GameInfo* info, const std::function<void(SDL_Surface*)>& draw_over,
         const std::function<void(SDLKey)>& on_key);

#endif
