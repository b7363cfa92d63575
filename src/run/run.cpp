#include "run/run.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "devices/device.h"
#include "level/level.h"
#include "scripting/scripting_engine.h"
#include "text/message_text.h"

std::string assemble_program(const Level& level, const std::string& code) {
    std::string program;
    std::vector<std::string> tables;
    assemble_program(level, code, program, tables);
    return program;
}

void assemble_program(const Level& level, const std::string& code, std::string& program,
                      std::vector<std::string>& tables) {
    program.clear();
    tables.clear();
    for (auto& device : level.devices) {
        std::string table = device->get_code_stub(level);
        if (!table.empty())
            tables.push_back(device->name);
        program += table;
    }
    program += code;
}

namespace {
// Hands one action to every device bearing its name, in list order; false
// when no device bears it. Names match byte for byte; a verb holding a zero
// byte is no verb any device knows, and must not reach one cut short.
bool deliver(Level& level, const Action& action) {
    bool delivered = false;
    for (std::size_t i = 0; i < level.devices.size(); ++i) {
        Device& device = *level.devices[i];
        if (action.name == device.name) {
            if (action.verb.find('\0') == std::string::npos)
                device.code_action(action.verb.c_str(), action.arg, &level);
            delivered = true;
        }
    }
    return delivered;
}
} // namespace

std::optional<std::string> parse_actions(Level& level, ScriptingEngine& engine) {
    std::vector<Action> taken;
    return parse_actions(level, engine, taken);
}

std::optional<std::string> parse_actions(Level& level, ScriptingEngine& engine, std::vector<Action>& taken) {
    engine.take_actions(taken);
    for (const Action& action : taken)
        if (!deliver(level, action))
            return action.name;
    return std::nullopt;
}

namespace {
const char* chunk_name(ProgramBox box) {
    return box == ProgramBox::init ? FIRST_TIME_CHUNK : EVERY_TIME_CHUNK;
}

constexpr std::size_t LINE_DIGITS_MAX = 9;

// The box and line of a message Lua made at a line of one of the chunks,
// "[string "EVERY TIME"]:5: ..."; nothing for any other message.
std::optional<std::pair<ProgramBox, long>> lua_place(const std::string& message) {
    for (ProgramBox box : {ProgramBox::init, ProgramBox::cycle}) {
        std::string prefix = std::string("[string \"") + chunk_name(box) + "\"]:";
        if (message.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::size_t digits = 0;
        while (prefix.size() + digits < message.size() &&
               std::isdigit(static_cast<unsigned char>(message[prefix.size() + digits])))
            ++digits;
        if (digits == 0 || digits > LINE_DIGITS_MAX)
            return std::nullopt;
        return std::pair{box, std::stol(message.substr(prefix.size(), digits))};
    }
    return std::nullopt;
}

// How Lua ends the message of a text that ended too early.
constexpr const char* AT_END = " near '<eof>'";

// The chunk line of the opener such a text left unclosed: "... (to close
// 'while' at line 4) near '<eof>'"; nothing when the message names none.
std::optional<long> unclosed_opener(const std::string& message) {
    std::size_t close = message.find("(to close '");
    std::size_t at = close == std::string::npos ? close : message.find("' at line ", close);
    if (at == std::string::npos)
        return std::nullopt;
    std::size_t first = at + std::char_traits<char>::length("' at line ");
    std::size_t digits = 0;
    while (first + digits < message.size() && std::isdigit(static_cast<unsigned char>(message[first + digits])))
        ++digits;
    if (digits == 0 || digits > LINE_DIGITS_MAX)
        return std::nullopt;
    return std::stol(message.substr(first, digits));
}

// The last line of a box's text that holds more than blanks; 1 for a text
// of blanks.
long last_written_line(const std::string& code) {
    long line = 1, written = 1;
    for (char c : code) {
        if (c == '\n')
            ++line;
        else if (!std::isspace(static_cast<unsigned char>(c)))
            written = line;
    }
    return written;
}
} // namespace

Run::Run() = default;
Run::~Run() = default;

bool Run::start(Level& level, const std::string& init_code) {
    // The old engine goes first: only one Lua state lives at a time.
    engine_.reset();
    engine_ = std::make_unique<ScriptingEngine>();
    return run_program(level, init_code, ProgramBox::init);
}

FrameResult Run::frame(Level& level, const std::string& cycle_code, AtWin at_win) {
    FrameResult result;
    result.won = level.win();
    result.steps = level.ticks;
    if (result.won && at_win == AtWin::stop)
        return result;
    if (!engine_) {
        failure_ = RunError{};
        failure_.message = "The simulation has not been started.";
        result.failed = true;
        return result;
    }
    bool ran = run_program(level, cycle_code, ProgramBox::cycle);
    // Actions queued before a failure are still delivered; a missing device
    // replaces the program's own message.
    if (std::optional<std::string> missing = parse_actions(level, *engine_, actions_)) {
        failure_ = RunError{};
        failure_.message = shortened_message("device not found: " + *missing);
        failure_.missing_device = missing;
        ran = false;
    }
    if (!ran) {
        result.failed = true;
        return result;
    }
    level.tick();
    result.stepped = true;
    return result;
}

std::vector<std::string> Run::printed() const {
    return engine_ ? engine_->printed().lines() : std::vector<std::string>();
}

bool Run::run_program(Level& level, const std::string& code, ProgramBox box) {
    assemble_program(level, code, program_, tables_);
    engine_->run_code(program_, chunk_name(box));
    if (!engine_->error()) {
        failure_ = RunError{};
        return true;
    }
    record_program_error(*engine_->error(), box, last_written_line(code));
    return false;
}

// Line k of the player's code is line k + (tables) of the chunk. A text that
// ended too early is blamed on the opener left unclosed, else on the box's
// last written line: Lua names the line past the end, which the player
// cannot see.
void Run::record_program_error(const std::string& message, ProgramBox running, long last_line) {
    failure_ = RunError{};
    failure_.message = message;
    failure_.box = running;
    std::optional<std::pair<ProgramBox, long>> place = lua_place(message);
    if (!place)
        return;
    auto [box, line] = *place;
    failure_.box = box;
    if (message.find(AT_END) != std::string::npos && box == running) {
        long tables = static_cast<long>(tables_.size());
        line = std::min(unclosed_opener(message).value_or(line), tables + last_line);
    }
    long own = line - static_cast<long>(tables_.size());
    if (own >= 1)
        failure_.line = own;
    else if (line >= 1)
        failure_.table_of = tables_[static_cast<std::size_t>(line - 1)];
}
