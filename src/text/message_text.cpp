#include "text/message_text.h"

std::string shortened_message(std::string_view message, std::size_t most) {
    constexpr std::size_t ellipsis_length = sizeof ELLIPSIS - 1;
    std::string shown(message.size() <= most ? message : message.substr(0, most > ellipsis_length ? most - ellipsis_length : 0));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7f')
            c = ' ';
    if (message.size() > most)
        shown += ELLIPSIS;
    return shown;
}
