// Reads level and save files as lines and as tokens. A token runs up to the
// next "," or line end, so both separate tokens alike; spaces and tabs inside
// a token are dropped wherever they stand. Lines may end in LF or CR LF.
#ifndef GEARLOFT_FILES_BETTER_READER_H
#define GEARLOFT_FILES_BETTER_READER_H

#include <cstddef>
#include <istream>
#include <memory>
#include <string>

class BetterReader {
public:
    // Longest line or token kept; the rest of a longer one is skipped.
    static constexpr std::size_t TEXT_MAX = 1023;

    // Opens the file for reading; a missing file, or anything but a plain
    // file (a folder, a device, a pipe), reads as empty.
    explicit BetterReader(const char* path);
    // Reads a text in memory exactly as the same bytes in a file.
    static BetterReader of_text(std::string text);
    BetterReader(BetterReader&&) = default;
    BetterReader& operator=(BetterReader&&) = default;

    bool is_open() const { return in_ != nullptr; }
    // Nothing is left to read (always true for a file that did not open).
    bool at_end();

    // The rest of the current line without its line end, at most TEXT_MAX
    // characters; empty at the end of the file.
    std::string get_line();
    // The same, however long the line is (program rows are kept whole).
    std::string get_whole_line();
    // One token as a number: optional sign and leading digits, 0 if none,
    // clamped to the range of int.
    int get_int();
    // One token, at most TEXT_MAX characters; empty at the end of the file.
    std::string get_string();

private:
    explicit BetterReader(std::unique_ptr<std::istream> in);

    std::unique_ptr<std::istream> in_;
    // CRs read ahead while looking for a line end, still to be handed out.
    int pending_returns_ = 0;

    // The next character, or EOF. CRs that end a line read as one "\n".
    int next_char();
    std::string read_line(std::size_t limit);
};

#endif
