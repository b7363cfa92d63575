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

bool is_digit(int c) {
    return c >= '0' && c <= '9';
}

bool starts_name(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool in_name(int c) {
    return starts_name(c) || is_digit(c);
}

bool line_end(int c) {
    return c == '\n' || c == '\r';
}

bool space(int c) {
    return c == ' ' || c == '\t' || c == '\f' || c == '\v' || line_end(c);
}

// Reads a program text as Lua 5.1's lexer does, counting its tokens. Where
// Lua would stop with a syntax error (a string left open, a stray
// character), it counts what is there and reads on; it never reads past the
// text's end.
class TokenCounter {
public:
    explicit TokenCounter(const std::string& text) : text_(text) {}

    int count() {
        int tokens = 0;
        while (at_ < text_.size()) {
            if (space(peek()))
                ++at_;
            else if (peek() == '-' && peek(1) == '-')
                comment();
            else {
                token();
                ++tokens;
            }
        }
        return tokens;
    }

private:
    // Past the text's end there is no character: -1, as in Lua's reader.
    static constexpr int END = -1;

    const std::string& text_;
    std::size_t at_ = 0;

    int peek(std::size_t ahead = 0) const {
        return at_ + ahead < text_.size() ? static_cast<unsigned char>(text_[at_ + ahead]) : END;
    }

    void token() {
        int c = peek();
        int level = c == '[' ? long_bracket_level() : -1;
        if (c == '"' || c == '\'')
            short_string(c);
        else if (level >= 0)
            long_bracket(level);
        else if (is_digit(c) || (c == '.' && is_digit(peek(1))))
            numeral();
        else if (starts_name(c))
            while (in_name(peek()))
                ++at_;
        else if (c == '.')
            at_ += peek(1) != '.' ? 1 : peek(2) != '.' ? 2 : 3; // . .. ...
        else if ((c == '=' || c == '<' || c == '>' || c == '~') && peek(1) == '=')
            at_ += 2; // == <= >= ~=
        else
            ++at_; // any other operator, bracket or stray character
    }

    // A number runs on over digits and dots, an exponent's sign, then
    // letters, digits and underscores: 0x1F, 3e-2, and also 1..2, which Lua
    // reads as one malformed number.
    void numeral() {
        while (is_digit(peek()) || peek() == '.')
            ++at_;
        if (peek() == 'e' || peek() == 'E') {
            ++at_;
            if (peek() == '+' || peek() == '-')
                ++at_;
        }
        while (in_name(peek()))
            ++at_;
    }

    // Moves past "[" or "]" and the "="s after it; the level of the long
    // bracket standing there when the next character repeats the first, else
    // -1 ("[" alone, or "[=" not followed by "["). As Lua's own reader does,
    // so that looking for a closing bracket never reads a character twice.
    int skip_bracket() {
        int bracket = peek();
        ++at_;
        int level = 0;
        for (; peek() == '='; ++at_)
            ++level;
        return peek() == bracket ? level : -1;
    }

    // The level of a long bracket opening here, without moving.
    int long_bracket_level() {
        std::size_t start = at_;
        int level = skip_bracket();
        at_ = start;
        return level;
    }

    // A long string or comment, up to the closing bracket of its level or
    // the end of the text ("[[" inside one, which Lua 5.1 refuses, is read
    // as part of it).
    void long_bracket(int level) {
        skip_bracket();
        ++at_;
        while (at_ < text_.size())
            if (peek() != ']')
                ++at_;
            else if (skip_bracket() == level) {
                ++at_;
                return;
            }
    }

    void comment() {
        at_ += 2;
        int level = peek() == '[' ? long_bracket_level() : -1;
        if (level >= 0)
            long_bracket(level);
        else
            while (at_ < text_.size() && !line_end(peek()))
                ++at_;
    }

    // A quoted string: a backslash keeps the next character inside it, a
    // line end ("\r\n" or "\n\r" as one) included; a line end without one
    // ends a string left open.
    void short_string(int quote) {
        ++at_;
        while (at_ < text_.size() && !line_end(peek())) {
            int c = peek();
            ++at_;
            if (c == quote)
                return;
            if (c != '\\' || at_ == text_.size())
                continue;
            int escaped = peek();
            ++at_;
            if (line_end(escaped) && line_end(peek()) && peek() != escaped)
                ++at_;
        }
    }
};

} // namespace

int code_tokens(const std::string& code) {
    return TokenCounter(code).count();
}

Metrics measure_win(const Level& level, int steps, const std::string& init_code, const std::string& cycle_code) {
    Metrics metrics;
    metrics.steps = steps;
    metrics.parts = parts_placed(level);
    metrics.code = code_tokens(init_code) + code_tokens(cycle_code);
    return metrics;
}
