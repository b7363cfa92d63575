#include "run/run.h"

#include "devices/device.h"
#include "level/level.h"
#include "scripting/message_text.h"
#include "scripting/scripting_engine.h"

std::string assemble_program(Level& level, const std::string& code) {
    std::string program;
    assemble_program(level, code, program);
    return program;
}

void assemble_program(Level& level, const std::string& code, std::string& program) {
    program.clear();
    for (auto& device : level.devices)
        program += device->get_code_stub(&level);
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

void parse_actions(Level& level, ScriptingEngine& engine) {
    std::vector<Action> taken;
    parse_actions(level, engine, taken);
}

void parse_actions(Level& level, ScriptingEngine& engine, std::vector<Action>& taken) {
    engine.take_actions(taken);
    for (const Action& action : taken) {
        if (!deliver(level, action)) {
            engine.error = shortened_message("device not found: " + action.name);
            return;
        }
    }
}

Run::Run(const ScriptLimits& limits) : limits_(limits) {}
Run::~Run() = default;

bool Run::start(Level& level, const std::string& init_code) {
    // The old engine goes first: only one Lua state lives at a time.
    engine_.reset();
    engine_ = std::make_unique<ScriptingEngine>(limits_);
    return run_program(level, init_code, FIRST_TIME_CHUNK);
}

FrameResult Run::frame(Level& level, const std::string& cycle_code, AtWin at_win) {
    FrameResult result;
    result.won = level.win();
    result.steps = level.ticks;
    if (result.won && at_win == AtWin::stop)
        return result;
    if (!engine_) {
        error_ = "The simulation has not been started.";
        result.failed = true;
        return result;
    }
    run_program(level, cycle_code, EVERY_TIME_CHUNK);
    // Actions queued before a failure are still delivered; a missing device
    // replaces the program's own message.
    parse_actions(level, *engine_, actions_);
    if (!take_error()) {
        result.failed = true;
        return result;
    }
    level.tick();
    result.stepped = true;
    return result;
}

bool Run::run_program(Level& level, const std::string& code, const char* chunk_name) {
    assemble_program(level, code, program_);
    engine_->run_code(program_, chunk_name);
    return take_error();
}

bool Run::take_error() {
    error_ = engine_->error.value_or("");
    return !engine_->error.has_value();
}
