#include "core/run.h"

#include "level/level.h"
#include "scripting/program.h"
#include "scripting/scripting_engine.h"

Run::Run() = default;
Run::~Run() = default;

bool Run::start(Level& level, const std::string& init_code) {
    // The old engine goes first: only one Lua state lives at a time.
    engine_.reset();
    engine_ = std::make_unique<ScriptingEngine>();
    return run_program(level, init_code, FIRST_TIME_CHUNK);
}

bool Run::frame(Level& level, const std::string& cycle_code) {
    if (!engine_) {
        error_ = "The simulation has not been started.";
        return false;
    }
    run_program(level, cycle_code, EVERY_TIME_CHUNK);
    // Actions queued before a failure are still delivered; a missing device
    // replaces the program's own message.
    level.parse_actions(engine_.get());
    if (!take_error())
        return false;
    level.tick();
    return true;
}

bool Run::run_program(Level& level, const std::string& code, const char* chunk_name) {
    std::string program = assemble_program(&level, code);
    engine_->run_code(program.c_str(), chunk_name);
    return take_error();
}

bool Run::take_error() {
    error_ = engine_->error.value_or("");
    return !engine_->error.has_value();
}
