#include "run/error_hint.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "devices/device.h"
#include "level/level.h"
#include "text/message_text.h"

namespace {
// What the player calls the two boxes.
const char* words_of(ProgramBox box) {
    return box == ProgramBox::init ? "initialization code" : "every-cycle code";
}

// The kinds a program can order about, by their word, and what the player
// calls them (the parts bin calls indicators lamps).
struct Kind {
    const char* word;
    const char* noun;
    const char* nouns;
};
const Kind KINDS[] = {{"pusher", "pusher", "pushers"},
                      {"sensor", "sensor", "sensors"},
                      {"sprayer", "sprayer", "sprayers"},
                      {"grabber", "grabber", "grabbers"},
                      {"indicator", "lamp", "lamps"}};
const char* const LAMP_WORDS[] = {"lamp", "light", "led"};
const char* const UNNAMED_WORDS[] = {"belt", "conveyer", "conveyor", "converter"};
constexpr std::size_t NAMES_LISTED = 6;

template <class List> bool listed(const List& words, const std::string& word) {
    return std::any_of(std::begin(words), std::end(words), [&](const char* w) { return word == w; });
}

// "Line 5 of your every-cycle code.", or the part whose table the line is in.
std::string where(const RunError& failure) {
    if (failure.line >= 1)
        return "Line " + std::to_string(failure.line) + " of your " + words_of(failure.box) + ".";
    if (!failure.table_of.empty())
        return "In the Lua table of " + failure.table_of + ", called from your " + words_of(failure.box) + ".";
    return "";
}

// The name of a part the program used and Lua found no table for, or that an
// order was sent to; empty if none.
std::string missing_name(const RunError& failure) {
    if (failure.missing_device)
        return *failure.missing_device;
    for (const char* attempt : {"attempt to index global '", "attempt to call global '"}) {
        std::size_t at = failure.message.find(attempt);
        if (at == std::string::npos)
            continue;
        std::size_t start = at + std::char_traits<char>::length(attempt);
        std::size_t end = failure.message.find('\'', start);
        if (end != std::string::npos)
            return failure.message.substr(start, end - start);
    }
    return "";
}

std::string listing(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < NAMES_LISTED; ++i)
        text += (i > 0 ? ", " : "") + names[i];
    return names.size() > NAMES_LISTED ? text + ", " + ELLIPSIS : text;
}

// The Lua names of the level's parts of one kind, by number.
std::vector<std::string> names_of_kind(const Level& level, const std::string& word) {
    std::vector<const Device*> found;
    for (const auto& device : level.devices)
        if (word == device->kind.word && device->name[0] != '\0')
            found.push_back(device.get());
    std::stable_sort(found.begin(), found.end(),
                     [](const Device* a, const Device* b) { return a->number < b->number; });
    std::vector<std::string> names;
    for (const Device* device : found)
        names.push_back(device->name);
    return names;
}

std::string capitalised(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// "No sensor_3: the sensors here are sensor_0, sensor_1." and the like, for a
// name made of a word and, maybe, "_" and a number.
std::string parts_of_kind(const std::string& name, const Level& level) {
    std::size_t underscore = name.find('_');
    std::string word = name.substr(0, underscore);
    std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
    if (listed(UNNAMED_WORDS, word))
        return "Belts and converters take no orders: programs have no names for them.";
    bool lamp_word = listed(LAMP_WORDS, word);
    if (lamp_word)
        word = "indicator";
    const Kind* kind = std::find_if(std::begin(KINDS), std::end(KINDS), [&](const Kind& k) { return word == k.word; });
    if (kind == std::end(KINDS))
        return "";
    std::vector<std::string> names = names_of_kind(level, word);
    bool numbered = underscore != std::string::npos;
    if (!lamp_word && numbered && std::find(names.begin(), names.end(), name) != names.end())
        return "";
    std::string none = std::string("there is no ") + kind->noun + " on the floor";
    if (lamp_word)
        return names.empty() ? "Lamps are named indicator_N in programs; " + none + "."
                             : "Lamps are named indicator_N in programs: here " + listing(names) + ".";
    std::string here = names.empty()       ? none
                       : names.size() == 1 ? std::string("the ") + kind->noun + " here is " + names[0]
                                           : std::string("the ") + kind->nouns + " here are " + listing(names);
    if (numbered)
        return "No " + name + ": " + here + ".";
    return capitalised(kind->nouns) + " are named " + word + "_N: " + here + ".";
}

// A word, maybe followed by "_" and a number, as the parts' names are.
bool looks_like_part_name(const std::string& name) {
    if (name.empty() || name.size() > static_cast<std::size_t>(DEVICE_NAME_MAX))
        return false;
    std::size_t i = 0;
    while (i < name.size() && std::isalpha(static_cast<unsigned char>(name[i])))
        ++i;
    if (i == 0 || i == name.size())
        return i > 0;
    if (name[i] != '_' || i + 1 == name.size())
        return false;
    return std::all_of(name.begin() + static_cast<long>(i) + 1, name.end(),
                       [](unsigned char c) { return std::isdigit(c); });
}
} // namespace

std::string error_hint(const RunError& failure, const Level& level) {
    std::string hint = where(failure);
    std::string name = missing_name(failure);
    std::string parts = looks_like_part_name(name) ? parts_of_kind(name, level) : "";
    if (!parts.empty())
        hint += (hint.empty() ? "" : " ") + parts;
    return shortened_message(hint, HINT_MAX);
}
