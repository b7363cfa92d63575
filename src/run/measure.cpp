#include "run/measure.h"

#include "kinds/converter.h"
#include "kinds/conveyer.h"
#include "level/level.h"

int parts_placed(const Level& level) {
    int parts = 0;
    for (const auto& device : level.devices) {
        if (device->fixed || dynamic_cast<const DeviceConverter*>(device.get()) != nullptr)
            continue;
        // A belt costs its cells: a line of belts counts the same however it
        // was put together from the bin's lengths.
        const auto* belt = dynamic_cast<const DeviceConveyer*>(device.get());
        parts += belt != nullptr ? belt->length : 1;
    }
    return parts;
}

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

// Walks a program text line by line, marking the lines that hold code.
class CodeScanner {
public:
    explicit CodeScanner(const std::string& text) : text_(text) {}

    int count() {
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (c == '-' && peek(1) == '-')
                comment();
            else if (c == '"' || c == '\'')
                short_string(c);
            else if (c == '[' && long_bracket_level(at_) >= 0)
                long_bracket(long_bracket_level(at_), true);
            else
                step(true);
        }
        return lines_with_code_;
    }

private:
    const std::string& text_;
    std::size_t at_ = 0;
    bool line_has_code_ = false;
    int lines_with_code_ = 0;

    char peek(std::size_t ahead) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0'; }

    // Moves past one character; `code` says whether it belongs to the program
    // rather than to a comment.
    void step(bool code) {
        char c = text_[at_++];
        if (c == '\n') {
            end_line();
        } else if (code && !blank(c)) {
            line_has_code_ = true;
        }
        if (at_ == text_.size())
            end_line();
    }

    void end_line() {
        lines_with_code_ += line_has_code_ ? 1 : 0;
        line_has_code_ = false;
    }

    // The level of a long bracket "[[", "[=[", ... opening at `pos`; -1 when
    // none opens there.
    int long_bracket_level(std::size_t pos) const {
        std::size_t equals = pos + 1;
        while (equals < text_.size() && text_[equals] == '=')
            ++equals;
        return equals < text_.size() && text_[equals] == '[' ? static_cast<int>(equals - pos - 1) : -1;
    }

    // A long string or comment from its opening bracket to its closing one
    // (or the end of the text).
    void long_bracket(int level, bool code) {
        for (int i = 0; i < level + 2; ++i)
            step(code);
        std::string close = "]" + std::string(static_cast<std::size_t>(level), '=') + "]";
        while (at_ < text_.size() && text_.compare(at_, close.size(), close) != 0)
            step(code);
        for (std::size_t i = 0; i < close.size() && at_ < text_.size(); ++i)
            step(code);
    }

    void comment() {
        step(false);
        step(false);
        if (at_ < text_.size() && text_[at_] == '[' && long_bracket_level(at_) >= 0) {
            long_bracket(long_bracket_level(at_), false);
            return;
        }
        while (at_ < text_.size() && text_[at_] != '\n')
            step(false);
    }

    // A quoted string: a backslash keeps the next character (a line end
    // included) inside it; an unescaped line end ends it.
    void short_string(char quote) {
        step(true);
        while (at_ < text_.size() && text_[at_] != quote && text_[at_] != '\n') {
            if (text_[at_] == '\\' && at_ + 1 < text_.size())
                step(true);
            step(true);
        }
        if (at_ < text_.size() && text_[at_] == quote)
            step(true);
    }
};

} // namespace

int code_lines(const std::string& code) {
    return CodeScanner(code).count();
}

Metrics measure_win(const Level& level, int steps, const std::string& init_code, const std::string& cycle_code) {
    Metrics metrics;
    metrics.steps = steps;
    metrics.parts = parts_placed(level);
    metrics.code = code_lines(init_code) + code_lines(cycle_code);
    return metrics;
}
