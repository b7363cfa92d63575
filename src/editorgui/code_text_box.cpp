#include "editorgui/code_text_box.h"

#include <algorithm>
#include <utility>

namespace {
// One clipboard for the whole game, so that code copied in one level can be
// pasted into another.
std::string& clipboard() {
    static std::string text;
    return text;
}

const gcn::Color SELECTION_COLOUR(172, 198, 236);

bool moves_caret(int key) {
    switch (key) {
    case gcn::Key::LEFT:
    case gcn::Key::RIGHT:
    case gcn::Key::UP:
    case gcn::Key::DOWN:
    case gcn::Key::HOME:
    case gcn::Key::END:
    case gcn::Key::PAGE_UP:
    case gcn::Key::PAGE_DOWN:
        return true;
    default:
        return false;
    }
}

// The letter of a key pressed with Ctrl: the window system gives a control
// character (1 for A) or the letter itself.
std::optional<char> control_letter(int key) {
    if (key >= 1 && key <= 26)
        return static_cast<char>('a' + key - 1);
    if (key >= 'a' && key <= 'z')
        return static_cast<char>(key);
    if (key >= 'A' && key <= 'Z')
        return static_cast<char>(key - 'A' + 'a');
    return std::nullopt;
}
} // namespace

CodeTextBox::CodeTextBox(const std::string& text) : gcn::TextBox(text) {}

void CodeTextBox::replace_text(const std::string& text) {
    setText(text);
    anchor_.reset();
    history_.clear();
    last_edit_ = EditKind::none;
}

TextState CodeTextBox::state() const {
    return {getText(), mCaretRow, mCaretColumn};
}

void CodeTextBox::restore(const TextState& state) {
    setText(state.text);
    setCaretRowColumn(state.row, state.column);
    anchor_.reset();
    last_edit_ = EditKind::none;
    scrollToCaret();
}

void CodeTextBox::note_edit(EditKind kind, TextState before, bool replaced_selection) {
    if (kind == EditKind::other || kind != last_edit_ || replaced_selection)
        history_.record(std::move(before));
    last_edit_ = kind;
}

std::string CodeTextBox::selected_text() const {
    if (!has_selection())
        return "";
    Place from = std::min(*anchor_, caret());
    Place to = std::max(*anchor_, caret());
    if (from.row == to.row)
        return mTextRows[from.row].substr(from.column, to.column - from.column);
    std::string text = mTextRows[from.row].substr(from.column);
    for (int row = from.row + 1; row < to.row; ++row)
        text += "\n" + mTextRows[row];
    return text + "\n" + mTextRows[to.row].substr(0, to.column);
}

void CodeTextBox::erase_selection() {
    Place from = std::min(*anchor_, caret());
    Place to = std::max(*anchor_, caret());
    mTextRows[from.row] = mTextRows[from.row].substr(0, from.column) + mTextRows[to.row].substr(to.column);
    mTextRows.erase(mTextRows.begin() + from.row + 1, mTextRows.begin() + to.row + 1);
    mCaretRow = from.row;
    mCaretColumn = from.column;
    anchor_.reset();
}

// The text goes in at the caret, which ends up behind it.
void CodeTextBox::insert(const std::string& text) {
    std::string after = mTextRows[mCaretRow].substr(mCaretColumn);
    mTextRows[mCaretRow].resize(mCaretColumn);
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        mTextRows[mCaretRow] += text.substr(start, end - start);
        mTextRows.insert(mTextRows.begin() + mCaretRow + 1, "");
        ++mCaretRow;
        start = end + 1;
    }
    mTextRows[mCaretRow] += text.substr(start);
    mCaretColumn = static_cast<int>(mTextRows[mCaretRow].size());
    mTextRows[mCaretRow] += after;
}

void CodeTextBox::select_all() {
    anchor_ = Place{0, 0};
    int last = static_cast<int>(mTextRows.size()) - 1;
    setCaretRowColumn(last, static_cast<int>(mTextRows[last].size()));
    last_edit_ = EditKind::none;
}

void CodeTextBox::copy() const {
    if (has_selection())
        clipboard() = selected_text();
}

void CodeTextBox::cut() {
    if (!has_selection() || !isEditable())
        return;
    copy();
    TextState before = state();
    erase_selection();
    note_edit(EditKind::other, std::move(before), true);
}

void CodeTextBox::paste() {
    if (clipboard().empty() || !isEditable())
        return;
    TextState before = state();
    bool selected = has_selection();
    if (selected)
        erase_selection();
    insert(clipboard());
    note_edit(EditKind::other, std::move(before), selected);
}

void CodeTextBox::undo() {
    if (std::optional<TextState> earlier = history_.undo(state()))
        restore(*earlier);
}

void CodeTextBox::redo() {
    if (std::optional<TextState> later = history_.redo(state()))
        restore(*later);
}

// Ctrl with a letter never types the letter.
bool CodeTextBox::control_command(int key, bool shift) {
    std::optional<char> letter = control_letter(key);
    if (!letter)
        return false;
    switch (*letter) {
    case 'a':
        select_all();
        break;
    case 'c':
        copy();
        break;
    case 'x':
        cut();
        break;
    case 'v':
        paste();
        break;
    case 'z':
        shift ? redo() : undo();
        break;
    case 'y':
        redo();
        break;
    default:
        break;
    }
    return true;
}

// With Shift the selection grows from where the caret was; without, it goes.
void CodeTextBox::move_caret(gcn::KeyEvent& event) {
    Place before = caret();
    gcn::TextBox::keyPressed(event);
    if (!event.isShiftPressed())
        anchor_.reset();
    else if (!anchor_)
        anchor_ = before;
    last_edit_ = EditKind::none;
}

// Typing replaces the selection; Backspace and Delete take it out.
void CodeTextBox::edit(gcn::KeyEvent& event) {
    int key = event.getKey().getValue();
    bool deletes = key == gcn::Key::BACKSPACE || key == gcn::Key::DELETE;
    if (!isEditable() || !(deletes || key == gcn::Key::ENTER || event.getKey().isCharacter())) {
        gcn::TextBox::keyPressed(event);
        return;
    }
    TextState before = state();
    bool selected = has_selection();
    if (selected)
        erase_selection();
    if (selected && deletes)
        event.consume();
    else
        gcn::TextBox::keyPressed(event);
    // A key that changed nothing (Backspace at the very start) is no step.
    if (getText() != before.text)
        note_edit(key == gcn::Key::ENTER ? EditKind::other
                  : deletes              ? EditKind::deleting
                                         : EditKind::typing,
                  std::move(before), selected);
}

void CodeTextBox::keyPressed(gcn::KeyEvent& event) {
    int key = event.getKey().getValue();
    if (event.isControlPressed() && control_command(key, event.isShiftPressed()))
        event.consume();
    else if (moves_caret(key))
        move_caret(event);
    else
        edit(event);
    adjustSize();
    scrollToCaret();
}

CodeTextBox::Place CodeTextBox::place_at(int x, int y) const {
    int rows = static_cast<int>(mTextRows.size());
    int row = std::clamp(y / getFont()->getHeight(), 0, rows - 1);
    return {row, getFont()->getStringIndexAt(mTextRows[row], x)};
}

void CodeTextBox::mousePressed(gcn::MouseEvent& event) {
    gcn::TextBox::mousePressed(event);
    anchor_.reset();
    drag_start_ = caret();
    last_edit_ = EditKind::none;
}

// Dragging with the left button selects from where it was pressed.
void CodeTextBox::mouseDragged(gcn::MouseEvent& event) {
    if (event.getButton() == gcn::MouseEvent::LEFT) {
        if (!anchor_)
            anchor_ = drag_start_;
        Place at = place_at(event.getX(), event.getY());
        mCaretRow = at.row;
        mCaretColumn = at.column;
        scrollToCaret();
    }
    event.consume();
}

// A text set from outside may have left the anchor behind its end.
bool CodeTextBox::has_selection() const {
    if (!anchor_ || *anchor_ == caret())
        return false;
    return anchor_->row >= 0 && anchor_->row < static_cast<int>(mTextRows.size()) && anchor_->column >= 0 &&
           anchor_->column <= static_cast<int>(mTextRows[anchor_->row].size());
}

// The selection lies under the text, each selected line end shown as a space.
void CodeTextBox::draw_selection(gcn::Graphics* graphics) {
    Place from = std::min(*anchor_, caret());
    Place to = std::max(*anchor_, caret());
    const gcn::Font& font = *getFont();
    graphics->setColor(SELECTION_COLOUR);
    for (int row = from.row; row <= to.row; ++row) {
        const std::string& text = mTextRows[row];
        int start = row == from.row ? from.column : 0;
        int end = row == to.row ? to.column : static_cast<int>(text.size());
        int x0 = 1 + font.getWidth(text.substr(0, start));
        int x1 = 1 + font.getWidth(text.substr(0, end)) + (row == to.row ? 0 : font.getWidth(" "));
        graphics->fillRectangle(gcn::Rectangle(x0, row * font.getHeight(), x1 - x0, font.getHeight()));
    }
}

void CodeTextBox::draw(gcn::Graphics* graphics) {
    if (!has_selection()) {
        gcn::TextBox::draw(graphics);
        return;
    }
    if (isOpaque()) {
        graphics->setColor(getBackgroundColor());
        graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
    }
    draw_selection(graphics);
    // The library's own drawing, over the selection rather than over a fresh background.
    bool opaque = isOpaque();
    setOpaque(false);
    gcn::TextBox::draw(graphics);
    setOpaque(opaque);
}
