// Exit statuses of the command-line tools that run a save (gearloft-sim,
// gearloft-gif), one list so that they keep meaning the same.
#ifndef GEARLOFT_TOOLS_EXIT_STATUS_H
#define GEARLOFT_TOOLS_EXIT_STATUS_H

constexpr int EXIT_COMPLETE = 0;
constexpr int EXIT_INVALID = 1;
constexpr int EXIT_PROGRAM_ERROR = 2;
constexpr int EXIT_NOT_WON = 3;
constexpr int EXIT_USAGE = 64;
constexpr int EXIT_NO_INPUT = 66;
constexpr int EXIT_CANNOT_WRITE = 73;

#endif
