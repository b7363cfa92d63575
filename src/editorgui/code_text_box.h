// A text box for program code: the GUI library's text box, plus a selection
// (Shift with the arrows, Home, End or the page keys; Ctrl+A; a drag of the
// pointer) that typing replaces, cut, copy and paste through the game's own
// clipboard (Ctrl+X, Ctrl+C, Ctrl+V), and undo and redo of its edits
// (Ctrl+Z; Ctrl+Y or Ctrl+Shift+Z).
#ifndef GEARLOFT_EDITORGUI_CODE_TEXT_BOX_H
#define GEARLOFT_EDITORGUI_CODE_TEXT_BOX_H

#include <guichan.hpp>

#include <optional>
#include <string>

#include "editorgui/edit_history.h"

class CodeTextBox : public gcn::TextBox {
public:
    explicit CodeTextBox(const std::string& text);

    // A text put in from outside (a loaded save): nothing selected, nothing
    // to undo.
    void replace_text(const std::string& text);
    // The selected text, rows joined by line ends; empty when none is.
    std::string selected_text() const;

    void select_all();
    void copy() const;
    void cut();
    void paste();
    void undo();
    void redo();

    void keyPressed(gcn::KeyEvent& event) override;
    void mousePressed(gcn::MouseEvent& event) override;
    void mouseDragged(gcn::MouseEvent& event) override;
    void draw(gcn::Graphics* graphics) override;

private:
    struct Place {
        int row = 0;
        int column = 0;
        bool operator<(const Place& other) const { return row != other.row ? row < other.row : column < other.column; }
        bool operator==(const Place& other) const { return row == other.row && column == other.column; }
    };
    // What an edit was, so that a run of typed letters or of deletions
    // undoes as one step.
    enum class EditKind { none, typing, deleting, other };

    // Where the selection began; the caret is its other end.
    std::optional<Place> anchor_;
    // Where the left button was last pressed: a drag selects from there.
    Place drag_start_;
    EditHistory history_;
    EditKind last_edit_ = EditKind::none;

    Place caret() const { return {mCaretRow, mCaretColumn}; }
    bool has_selection() const;
    TextState state() const;
    void restore(const TextState& state);
    // Keeps the state before an edit of this kind, unless the edit goes on
    // a run of the same kind.
    void note_edit(EditKind kind, TextState before, bool replaced_selection);
    // Takes out the selected text, the caret where it began.
    void erase_selection();
    void insert(const std::string& text);
    bool control_command(int letter, bool shift);
    void move_caret(gcn::KeyEvent& event);
    void edit(gcn::KeyEvent& event);
    Place place_at(int x, int y) const;
    void draw_selection(gcn::Graphics* graphics);
};

#endif
