// The last lines a program printed, for the game's console: the same bytes
// that reach standard output within the run's output budget, and the notice
// when the rest was dropped. A bounded number of lines of bounded length is
// kept, the oldest going first.
#ifndef GEARLOFT_SCRIPTING_OUTPUT_TAIL_H
#define GEARLOFT_SCRIPTING_OUTPUT_TAIL_H

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class OutputTail {
public:
    static constexpr std::size_t LINES_KEPT = 64;
    // Longer lines keep their start.
    static constexpr std::size_t LINE_LENGTH_MAX = 200;

    void write(std::string_view text);
    // The lines, oldest first, the one still being printed last; raw bytes,
    // each at most LINE_LENGTH_MAX long.
    std::vector<std::string> lines() const;

private:
    std::deque<std::string> lines_;
    std::string open_;
    bool printing_ = false;

    void end_line();
};

#endif
