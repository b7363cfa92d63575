// Pieces the device kinds share: the bounded texts (Lua tables and save
// records) they hand out.
#ifndef GEARLOFT_DEVICES_DEVICE_KIT_H
#define GEARLOFT_DEVICES_DEVICE_KIT_H

#include <cstddef>
#include <string>

// Room for a device's Lua table text and for its save record, terminator
// included. Device names are at most 31 characters, so every text fits.
constexpr std::size_t CODE_STUB_SIZE = 256;
constexpr std::size_t GRABBER_STUB_SIZE = 512;
constexpr std::size_t SAVE_RECORD_SIZE = 512;

// printf into a buffer of `capacity` bytes; a longer text is cut short.
std::string format_text(std::size_t capacity, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The Lua table of a device switched on and off by the program (pushers and
// lamps): name.on(x) queues "on" when x is true in Lua, else "off".
std::string on_off_stub(const char* name);

#endif
