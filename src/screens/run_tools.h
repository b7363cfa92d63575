// What the player has beside a run: its speed, which F cycles while a run
// goes (the game's own pace, then several steps for each picture, then as
// many as the machine can), shown on the simulation panel; and the console,
// which C opens and closes, showing the last lines the program printed.
#ifndef GEARLOFT_SCREENS_RUN_TOOLS_H
#define GEARLOFT_SCREENS_RUN_TOOLS_H

#include <SDL.h>

#include <string>
#include <vector>

enum class RunSpeed { normal, x4, x16, fastest };

// The speed F gives after this one: 1x, 4x, 16x, as fast as possible, 1x.
RunSpeed next_speed(RunSpeed speed);
// Frames run for each picture shown; as fast as possible runs frames until
// FASTEST_WORK_MS have passed, at most this many.
int frames_per_picture(RunSpeed speed);
constexpr Uint32 FASTEST_WORK_MS = 20;
// "1x", "4x", "16x", "max".
std::string speed_text(RunSpeed speed);

// The speed on the simulation panel below the step counter; nothing at 1x,
// where the panel stays as it always was.
void draw_run_speed(SDL_Surface* screen, RunSpeed speed);

// The console over the lower part of the floor: the last lines printed that
// fit, oldest first, made printable and cut to its width.
constexpr int CONSOLE_X = 6;
constexpr int CONSOLE_Y = 404;
constexpr int CONSOLE_W = 638;
constexpr int CONSOLE_H = 140;
void draw_console(SDL_Surface* screen, const std::vector<std::string>& lines);

#endif
