// A scriptable stand-in device: publishes a Lua table shaped like those of the
// game's scriptable machines and records every action handed to it.
#ifndef GEARLOFT_TESTS_SCRIPTED_DEVICE_H
#define GEARLOFT_TESTS_SCRIPTED_DEVICE_H

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "test_device.h"

class ScriptedDevice : public TestDevice {
public:
    // (verb, argument) of every action received, in order.
    std::vector<std::pair<std::string, int>> received;
    // Shared across devices: "name:verb" of every action, in delivery order.
    std::vector<std::string>* log = nullptr;
    // What read() answers; written into the table text when it is assembled.
    int reading = 0;
    // Without a table the device contributes no text, like a belt.
    bool scriptable;

    ScriptedDevice(const std::string& device_name, bool scriptable) : TestDevice(0, 0), scriptable(scriptable) {
        std::snprintf(name, sizeof name, "%s", device_name.c_str());
    }

    void code_action(const char* verb, int arg, Level*) override {
        received.emplace_back(verb, arg);
        if (log)
            log->push_back(std::string(name) + ":" + verb);
    }

    // One line: on(x) like a pusher, move_to(n) and read() like a grabber.
    std::string get_code_stub(Level*) override {
        if (!scriptable)
            return "";
        std::string n = name;
        return n + " = { on = function (x) if x then action('" + n + "','on',0) else action('" + n +
               "','off',0) end end, move_to = function (k) action('" + n +
               "','move_to',k) end, read = function () return " + std::to_string(reading) + " end }\n";
    }
};

inline ScriptedDevice* add_scripted_device(Level& level, const std::string& name, bool scriptable = true) {
    auto device = std::make_unique<ScriptedDevice>(name, scriptable);
    ScriptedDevice* raw = device.get();
    level.devices.push_back(std::move(device));
    return raw;
}

using Received = std::vector<std::pair<std::string, int>>;

#endif
