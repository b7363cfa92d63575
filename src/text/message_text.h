// Messages of a player's program are made by the program itself and can be
// megabytes long or hold any byte. Before one is shown or printed it is made
// short and printable.
#ifndef GEARLOFT_TEXT_MESSAGE_TEXT_H
#define GEARLOFT_TEXT_MESSAGE_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

// Longest message kept, ellipsis included.
constexpr std::size_t MESSAGE_MAX = 400;
constexpr char ELLIPSIS[] = "...";

// The message cut to `most` bytes, ending in "..." when cut; control
// characters (a zero byte, a line end) become spaces.
std::string shortened_message(std::string_view message, std::size_t most = MESSAGE_MAX);

#endif
