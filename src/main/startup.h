// Bringing the game up: the window, its caption and the libraries it needs.
#ifndef GEARLOFT_MAIN_STARTUP_H
#define GEARLOFT_MAIN_STARTUP_H

#include "screens/game_info.h"

// Brings up video, typed-character translation, fonts and the window. False,
// with the reason on standard error and SDL shut down again, when there is no
// window to play in.
bool init(GameInfo* info);

#endif
