#include "scripting/output_tail.h"

void OutputTail::write(std::string_view text) {
    for (char c : text) {
        if (c == '\n') {
            end_line();
            continue;
        }
        printing_ = true;
        if (open_.size() < LINE_LENGTH_MAX)
            open_ += c;
    }
}

void OutputTail::end_line() {
    lines_.push_back(std::move(open_));
    open_.clear();
    printing_ = false;
    if (lines_.size() > LINES_KEPT)
        lines_.pop_front();
}

std::vector<std::string> OutputTail::lines() const {
    std::vector<std::string> lines(lines_.begin(), lines_.end());
    if (printing_)
        lines.push_back(open_);
    return lines;
}
