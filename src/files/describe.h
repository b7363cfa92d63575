// A level's parts and program as plain lines, for tools and scripts that
// must not read the game's files themselves:
//   level NAME                    the level file (inside "levels/")
//   part L F=V F=V ... [name=N] [fixed]
//                                 one device each, in list order: its record
//                                 letter and the record's numbers by name,
//                                 its Lua name when it has one, "fixed" for
//                                 the level's own belts
//   init N                        followed by the N rows of each code text
//   cycle N
#ifndef GEARLOFT_FILES_DESCRIBE_H
#define GEARLOFT_FILES_DESCRIBE_H

#include <string>

class Device;
class Level;

// One "part" line, without its line end.
std::string describe_part(const Device& device);
// Every line, each ended by "\n".
std::string describe_level(const Level& level);

#endif
