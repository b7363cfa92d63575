#include "files/better_reader.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

BetterReader::BetterReader(const char* path) {
    // Only plain files: a folder has nothing to read, and a device or a pipe
    // could block the game or never end.
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode))
        return;
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (file->is_open())
        in_ = std::move(file);
}

BetterReader::BetterReader(std::unique_ptr<std::istream> in) : in_(std::move(in)) {}

BetterReader BetterReader::of_text(std::string text) {
    return BetterReader(std::make_unique<std::istringstream>(std::move(text)));
}

bool BetterReader::at_end() {
    if (in_ == nullptr)
        return true;
    return pending_returns_ == 0 && in_->peek() == EOF;
}

int BetterReader::next_char() {
    if (in_ == nullptr)
        return EOF;
    if (pending_returns_ > 0) {
        --pending_returns_;
        return '\r';
    }
    int c = in_->get();
    if (c != '\r')
        return c;
    // Files written on other systems end their lines in CR LF; CRs that end
    // a line are dropped, so a line read back never ends in one. A CR
    // anywhere else is an ordinary character.
    int returns = 1;
    while (in_->peek() == '\r') {
        in_->get();
        ++returns;
    }
    int after = in_->peek();
    if (after == '\n' || after == EOF) {
        in_->get();
        return '\n';
    }
    pending_returns_ = returns - 1;
    return c;
}

std::string BetterReader::read_line(std::size_t limit) {
    std::string line;
    for (int c = next_char(); c != '\n' && c != EOF; c = next_char())
        if (line.size() < limit)
            line.push_back(static_cast<char>(c));
    return line;
}

std::string BetterReader::get_line() { return read_line(TEXT_MAX); }

std::string BetterReader::get_whole_line() { return read_line(std::string::npos); }

std::string BetterReader::get_string() {
    std::string token;
    for (int c = next_char(); c != ',' && c != '\n' && c != EOF; c = next_char())
        if (c != ' ' && c != '\t' && token.size() < TEXT_MAX)
            token.push_back(static_cast<char>(c));
    return token;
}

int BetterReader::get_int() {
    std::string token = get_string();
    long value = std::strtol(token.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
