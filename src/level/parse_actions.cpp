#include <string>

#include "devices/device.h"
#include "level/level.h"
#include "scripting/scripting_engine.h"

namespace {

// Hands one action to every device bearing the name, in list order; false
// when no device bears it. Names match byte for byte; a verb holding a zero
// byte is no verb any device knows, and must not reach one cut short.
bool deliver(Level& level, const std::string& name, const std::string& verb, int arg) {
    bool delivered = false;
    for (size_t i = 0; i < level.devices.size(); ++i) {
        Device& device = *level.devices[i];
        if (name == device.name) {
            if (verb.find('\0') == std::string::npos)
                device.code_action(verb.c_str(), arg, &level);
            delivered = true;
        }
    }
    return delivered;
}

} // namespace

void Level::parse_actions(ScriptingEngine* engine) {
    for (size_t i = 0; i < engine->action_names.size(); ++i) {
        const std::string& name = engine->action_names[i];
        if (!deliver(*this, name, engine->action_verbs[i], engine->action_args[i])) {
            engine->error = "device not found: " + name;
            break;
        }
    }
    engine->clear_actions();
}
