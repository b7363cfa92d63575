#include "files/records.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "files/whole_file.h"

namespace {

constexpr const char* HEADER = "# Gearloft bests: steps parts code-tokens level";
// The heading of files that counted code in lines.
constexpr const char* LINES_HEADER = "# Gearloft bests: steps parts code level";
constexpr const char* NO_BEST = "-";

enum class CodeCount { Lines, Tokens };
// A records file of 30 levels is about a kilobyte; anything this large was
// never written by the game.
constexpr std::size_t RECORDS_SIZE_MAX = 1 << 20;
// Set-aside names tried before giving up: NAME.corrupt, NAME.corrupt-2, ...
constexpr int SET_ASIDE_TRIES = 100;

// A level name that fits on one line of the file.
bool storable(const std::string& level) {
    return !level.empty() && level.find_first_of("\n\r") == std::string::npos;
}

// A count: digits only, and within int.
bool parse_count(const std::string& field, int& count) {
    if (field.empty() || field.size() > 9 || field.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoi(field);
    return true;
}

// "S P C NAME": three counts, then the name. A token count may be "-", for
// none; a line count is read and dropped.
bool parse_line(const std::string& line, CodeCount counted, std::string& name, Bests& bests) {
    std::string fields[3];
    std::size_t at = 0;
    for (std::string& field : fields) {
        std::size_t end = line.find(' ', at);
        if (end == std::string::npos)
            return false;
        field = line.substr(at, end - at);
        at = end + 1;
    }
    name = line.substr(at);
    int code = 0;
    bool no_code = counted == CodeCount::Tokens && fields[2] == NO_BEST;
    if (!parse_count(fields[0], bests.steps) || !parse_count(fields[1], bests.parts) ||
        !(no_code || parse_count(fields[2], code)))
        return false;
    if (counted == CodeCount::Tokens && !no_code)
        bests.code = code;
    return storable(name);
}

// Keeps `run` where it beats `best`, or on a first win; says whether it did.
bool improve(int& best, int run, bool first) {
    bool better = first || run < best;
    if (better)
        best = run;
    return better;
}

// A run always beats no best at all.
bool improve(std::optional<int>& best, int run, bool first) {
    if (best)
        return improve(*best, run, first);
    best = run;
    return true;
}

std::string system_reason() {
    return std::strerror(errno);
}

// The whole file, or nothing with the reason.
std::optional<std::string> read_whole(const std::string& path, std::string& why) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        why = system_reason();
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        why = "not a plain file";
        return std::nullopt;
    }
    if (static_cast<std::size_t>(info.st_size) > RECORDS_SIZE_MAX) {
        why = "larger than a records file can be";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        why = system_reason();
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        why = "a read error";
        return std::nullopt;
    }
    return text;
}

bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// The records file's text, and the records read back from it; nothing, with
// the reason in `why`, when the text is not a whole records file.
std::string records_text(const BestsByLevel& bests) {
    std::string text = std::string(HEADER) + "\n";
    for (const auto& [level, best] : bests)
        if (storable(level))
            text += std::to_string(best.steps) + " " + std::to_string(best.parts) + " " +
                    (best.code ? std::to_string(*best.code) : NO_BEST) + " " + level + "\n";
    return text;
}

std::optional<BestsByLevel> parse_records(const std::string& text, std::string& why) {
    if (text.empty() || text.back() != '\n') {
        why = "it ends in the middle of a line";
        return std::nullopt;
    }
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    if (line != HEADER && line != LINES_HEADER) {
        why = "it does not start with the records heading";
        return std::nullopt;
    }
    CodeCount counted = line == HEADER ? CodeCount::Tokens : CodeCount::Lines;
    BestsByLevel bests;
    for (int number = 2; std::getline(lines, line); ++number) {
        std::string name;
        Bests read;
        if (!parse_line(line, counted, name, read) || !bests.emplace(name, read).second) {
            why = "line " + std::to_string(number) + " is no level's record";
            return std::nullopt;
        }
    }
    return bests;
}

} // namespace

Records::Records(std::string path) : path_(std::move(path)) {}

std::string Records::load() {
    bests_.clear();
    writable_ = true;
    if (!exists(path_))
        return "";
    std::string why;
    std::optional<std::string> text = read_whole(path_, why);
    std::optional<BestsByLevel> read = text ? parse_records(*text, why) : std::nullopt;
    if (!read)
        return set_aside(why);
    bests_ = std::move(*read);
    return "";
}

std::string Records::set_aside(const std::string& why) {
    std::string found = "The records file " + path_ + " cannot be used (" + why + ")";
    std::string failure = "no free name beside it";
    for (int i = 1; i <= SET_ASIDE_TRIES; ++i) {
        std::string aside = path_ + ".corrupt" + (i > 1 ? "-" + std::to_string(i) : "");
        if (exists(aside))
            continue;
        if (std::rename(path_.c_str(), aside.c_str()) == 0)
            return found + "; it was moved to " + aside + " and the game goes on with empty records.";
        failure = system_reason();
        break;
    }
    writable_ = false;
    return found + " and could not be moved aside (" + failure +
           "); the game goes on with empty records and leaves that file alone.";
}

const Bests* Records::best(const std::string& level) const {
    auto found = bests_.find(level);
    return found == bests_.end() ? nullptr : &found->second;
}

RecordOutcome Records::record(const std::string& level, const Metrics& won) {
    RecordOutcome outcome;
    if (const Bests* old = best(level))
        outcome.before = *old;
    outcome.bests = outcome.before.value_or(Bests{won.steps, won.parts, won.code});
    bool first = !outcome.before;
    outcome.new_steps = improve(outcome.bests.steps, won.steps, first);
    outcome.new_parts = improve(outcome.bests.parts, won.parts, first);
    outcome.new_code = improve(outcome.bests.code, won.code, first);
    if (!outcome.new_steps && !outcome.new_parts && !outcome.new_code)
        return outcome;
    bests_[level] = outcome.bests;
    if (!writable_) {
        outcome.failure = "The bests are not written: " + path_ + " could not be moved aside.";
        return outcome;
    }
    std::error_code ignored;
    std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ignored);
    std::string reason;
    if (!replace_file(path_, records_text(bests_), reason))
        outcome.failure = "Cannot write the records file " + path_ + ": " + reason;
    return outcome;
}
