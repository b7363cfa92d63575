// What the code editor can take back and give again: the text and caret
// before each edit, newest last, and the states taken back, for redoing.
// Both are bounded in steps and in bytes; the oldest go first.
#ifndef GEARLOFT_EDITORGUI_EDIT_HISTORY_H
#define GEARLOFT_EDITORGUI_EDIT_HISTORY_H

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

// A box's text with the caret in it.
struct TextState {
    std::string text;
    int row = 0;
    int column = 0;
};

class EditHistory {
public:
    static constexpr std::size_t STEPS_MAX = 100;
    static constexpr std::size_t BYTES_MAX = std::size_t{4} << 20;

    // Keeps the state an edit is about to change; what was undone can no
    // longer be redone.
    void record(TextState before);
    // The state to go back to from `now`, which can then be redone; none
    // when nothing is left to undo.
    std::optional<TextState> undo(TextState now);
    // The state undone last, `now` going back on the undo side; none when
    // nothing was undone since the last edit.
    std::optional<TextState> redo(TextState now);
    void clear();

    std::size_t undo_steps() const { return undo_.states.size(); }
    std::size_t redo_steps() const { return redo_.states.size(); }

private:
    struct Side {
        std::deque<TextState> states;
        std::size_t bytes = 0;
        void push(TextState state);
        TextState pop();
        void clear();
    };
    Side undo_;
    Side redo_;
};

#endif
