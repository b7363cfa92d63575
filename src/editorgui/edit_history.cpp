#include "editorgui/edit_history.h"

#include <utility>

void EditHistory::Side::push(TextState state) {
    bytes += state.text.size();
    states.push_back(std::move(state));
    while (states.size() > STEPS_MAX || (bytes > BYTES_MAX && states.size() > 1)) {
        bytes -= states.front().text.size();
        states.pop_front();
    }
}

TextState EditHistory::Side::pop() {
    TextState state = std::move(states.back());
    states.pop_back();
    bytes -= state.text.size();
    return state;
}

void EditHistory::Side::clear() {
    states.clear();
    bytes = 0;
}

void EditHistory::record(TextState before) {
    undo_.push(std::move(before));
    redo_.clear();
}

std::optional<TextState> EditHistory::undo(TextState now) {
    if (undo_.states.empty())
        return std::nullopt;
    redo_.push(std::move(now));
    return undo_.pop();
}

std::optional<TextState> EditHistory::redo(TextState now) {
    if (redo_.states.empty())
        return std::nullopt;
    undo_.push(std::move(now));
    return redo_.pop();
}

void EditHistory::clear() {
    undo_.clear();
    redo_.clear();
}
