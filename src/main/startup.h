#ifndef GEARLOFT_MAIN_STARTUP_H
#define GEARLOFT_MAIN_STARTUP_H

#include "main/game_info.h"

// Brings up video, typed-character translation, fonts and the window.
void init(GameInfo* info);
// The level list: returns when the player leaves it.
void level_select(GameInfo* info);
// The list's load button: opens a saved machine and plays it.
void load_save(GameInfo* info);

#endif
