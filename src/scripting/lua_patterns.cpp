#include "scripting/lua_patterns.h"

#include <cctype>
#include <cstddef>
#include <cstring>

#include "scripting/work_meter.h"

const char PATTERN_TOO_COMPLEX[] = "pattern too complex";

namespace {

constexpr char ESCAPE = '%';
// A pattern without any of these is searched for as plain text by find.
constexpr char SPECIALS[] = "^$*+?.([%-";
constexpr int MAX_CAPTURES = 32;

// Capture lengths that are not lengths.
constexpr std::ptrdiff_t CAPTURE_OPEN = -1;
constexpr std::ptrdiff_t CAPTURE_POSITION = -2;

int byte(char c) {
    return static_cast<unsigned char>(c);
}

// What the class letters stand for, one bit per class, for every byte:
// looked up rather than asked of <cctype> on every step. The game never
// changes the C locale, so the answers never change.
class CharacterClasses {
public:
    CharacterClasses() {
        for (int c = 0; c < 256; ++c) {
            unsigned bits = 0;
            bits |= std::isalpha(c) ? bit('a') : 0;
            bits |= std::iscntrl(c) ? bit('c') : 0;
            bits |= std::isdigit(c) ? bit('d') : 0;
            bits |= std::islower(c) ? bit('l') : 0;
            bits |= std::ispunct(c) ? bit('p') : 0;
            bits |= std::isspace(c) ? bit('s') : 0;
            bits |= std::isupper(c) ? bit('u') : 0;
            bits |= std::isalnum(c) ? bit('w') : 0;
            bits |= std::isxdigit(c) ? bit('x') : 0;
            bits |= c == 0 ? bit('z') : 0;
            members_[c] = bits;
            letters_[c] = bit(std::tolower(c));
            complemented_[c] = letters_[c] != 0 && !std::islower(c);
        }
    }

    // Lower-case class letters stand for the class, upper-case ones for its
    // complement; any other character stands for itself.
    bool matches(int c, int letter) const {
        if (letters_[letter] == 0)
            return letter == c;
        return ((members_[c] & letters_[letter]) != 0) != complemented_[letter];
    }

private:
    static constexpr char LETTERS[] = "acdlpsuwxz";
    unsigned members_[256];
    unsigned letters_[256];
    bool complemented_[256];

    static unsigned bit(int letter) {
        const char* at = letter == 0 ? nullptr : std::strchr(LETTERS, letter);
        return at ? 1u << (at - LETTERS) : 0;
    }
};

const CharacterClasses character_classes;

bool matches_class(int c, int letter) {
    return character_classes.matches(c, letter);
}

// A set from its '[' to its closing ']': classes, ranges and single
// characters, complemented by a leading '^'. A '-' first or last is itself.
bool matches_set(int c, const char* p, const char* close) {
    bool found = true;
    if (p[1] == '^') {
        found = false;
        ++p;
    }
    while (++p < close) {
        if (*p == ESCAPE) {
            ++p;
            if (matches_class(c, byte(*p)))
                return found;
        } else if (p[1] == '-' && p + 2 < close) {
            p += 2;
            if (byte(p[-2]) <= c && c <= byte(*p))
                return found;
        } else if (byte(*p) == c) {
            return found;
        }
    }
    return !found;
}

// Whether character c matches the single-character item from p to end.
bool matches_item(int c, const char* p, const char* end) {
    switch (*p) {
    case '.': return true;
    case ESCAPE: return matches_class(c, byte(p[1]));
    case '[': return matches_set(c, p, end - 1);
    default: return byte(*p) == c;
    }
}

struct Capture {
    const char* start;
    std::ptrdiff_t length;
};

// Matches patterns against one subject. Patterns end at their first zero
// byte ('%z' stands for it), and a malformed part raises its error only when
// matching reaches it, as in Lua 5.1.
class Matcher {
public:
    Matcher(lua_State* L, const char* subject, std::size_t length)
        : L_(L), subject_(subject), end_(subject + length), meter_(L) {}

    // Where a match of the pattern starting at s ends, or null.
    const char* match_at(const char* s, const char* pattern) {
        captured_ = 0;
        depth_ = 0;
        return match(s, pattern);
    }

    // Pushes capture i of the last match; with no captures, capture 0 is the
    // whole match s..e.
    void push_capture(int i, const char* s, const char* e) {
        if (i >= captured_) {
            if (i != 0)
                luaL_error(L_, "invalid capture index");
            lua_pushlstring(L_, s, e - s);
            return;
        }
        const Capture& capture = captures_[i];
        if (capture.length == CAPTURE_OPEN)
            luaL_error(L_, "unfinished capture");
        if (capture.length == CAPTURE_POSITION)
            lua_pushinteger(L_, capture.start - subject_ + 1);
        else
            lua_pushlstring(L_, capture.start, capture.length);
    }

    // Pushes all captures of the last match, or the whole match s..e when it
    // has none and s is given; returns how many.
    int push_captures(const char* s, const char* e) {
        int count = captured_ == 0 && s ? 1 : captured_;
        luaL_checkstack(L_, count, "too many captures");
        for (int i = 0; i < count; ++i)
            push_capture(i, s, e);
        return count;
    }

    void settle() { meter_.settle(); }
    void charge_bytes(std::size_t bytes) { meter_.add_bytes(bytes); }
    void charge_scanned(std::size_t bytes) { meter_.add_scanned(bytes); }

private:
    lua_State* L_;
    const char* subject_;
    const char* end_;
    WorkMeter meter_;
    int depth_ = 0;
    int captured_ = 0;
    Capture captures_[MAX_CAPTURES];

    // Whether c matches the item from p to item_end; a set is walked for
    // every character tried, so it costs by its length.
    bool item_matches(int c, const char* p, const char* item_end) {
        if (*p == '[')
            meter_.add_scanned(static_cast<std::size_t>(item_end - p));
        return matches_item(c, p, item_end);
    }

    const char* match(const char* s, const char* p) {
        if (++depth_ > MAX_PATTERN_DEPTH)
            luaL_error(L_, "%s", PATTERN_TOO_COMPLEX);
        const char* end = match_here(s, p);
        --depth_;
        return end;
    }

    // The pattern's items one after another; quantified items and captures
    // recurse for the rest of the pattern.
    const char* match_here(const char* s, const char* p) {
        for (;;) {
            meter_.add(1);
            switch (*p) {
            case '\0': return s;
            case '(': return p[1] == ')' ? open_capture(s, p + 2, CAPTURE_POSITION) : open_capture(s, p + 1, CAPTURE_OPEN);
            case ')': return close_capture(s, p + 1);
            case '$':
                if (p[1] == '\0')
                    return s == end_ ? s : nullptr;
                break;
            case ESCAPE:
                if (p[1] == 'b') {
                    s = match_balance(s, p + 2);
                    p += 4;
                } else if (p[1] == 'f') {
                    p = match_frontier(s, p + 2);
                } else if (std::isdigit(byte(p[1]))) {
                    s = match_back_reference(s, byte(p[1]));
                    p += 2;
                } else {
                    break;
                }
                if (!s || !p)
                    return nullptr;
                continue;
            default: break;
            }
            const char* item_end = end_of_item(p);
            bool here = s < end_ && item_matches(byte(*s), p, item_end);
            switch (*item_end) {
            case '?':
                if (here) {
                    if (const char* end = match(s + 1, item_end + 1))
                        return end;
                }
                p = item_end + 1;
                continue;
            case '*': return longest_run(s, p, item_end);
            case '+': return here ? longest_run(s + 1, p, item_end) : nullptr;
            case '-': return shortest_run(s, p, item_end);
            default:
                if (!here)
                    return nullptr;
                ++s;
                p = item_end;
            }
        }
    }

    // Where the single-character item starting at p ends.
    const char* end_of_item(const char* p) {
        char first = *p++;
        if (first == ESCAPE) {
            if (*p == '\0')
                luaL_error(L_, "malformed pattern (ends with '%%')");
            return p + 1;
        }
        if (first == '[') {
            if (*p == '^')
                ++p;
            // The first character is never the closing ']', so '[]]' is a set.
            do {
                if (*p == '\0')
                    luaL_error(L_, "malformed pattern (missing ']')");
                if (*p++ == ESCAPE && *p != '\0')
                    ++p;
            } while (*p != ']');
            return p + 1;
        }
        return p;
    }

    // As many repetitions as match, then fewer until the rest matches.
    const char* longest_run(const char* s, const char* p, const char* item_end) {
        std::ptrdiff_t count = 0;
        while (s + count < end_ && item_matches(byte(s[count]), p, item_end)) {
            meter_.add(1);
            ++count;
        }
        for (; count >= 0; --count) {
            if (const char* end = match(s + count, item_end + 1))
                return end;
        }
        return nullptr;
    }

    // As few repetitions as let the rest match.
    const char* shortest_run(const char* s, const char* p, const char* item_end) {
        for (;;) {
            if (const char* end = match(s, item_end + 1))
                return end;
            if (s == end_ || !item_matches(byte(*s), p, item_end))
                return nullptr;
            ++s;
        }
    }

    const char* open_capture(const char* s, const char* p, std::ptrdiff_t length) {
        if (captured_ >= MAX_CAPTURES)
            luaL_error(L_, "too many captures");
        captures_[captured_++] = Capture{s, length};
        const char* end = match(s, p);
        if (!end)
            --captured_;
        return end;
    }

    const char* close_capture(const char* s, const char* p) {
        Capture& capture = captures_[innermost_open_capture()];
        capture.length = s - capture.start;
        const char* end = match(s, p);
        if (!end)
            capture.length = CAPTURE_OPEN;
        return end;
    }

    int innermost_open_capture() {
        for (int i = captured_ - 1; i >= 0; --i) {
            if (captures_[i].length == CAPTURE_OPEN)
                return i;
        }
        return luaL_error(L_, "invalid pattern capture");
    }

    // '%bxy': from an x to the y that balances it.
    const char* match_balance(const char* s, const char* p) {
        if (p[0] == '\0' || p[1] == '\0')
            luaL_error(L_, "unbalanced pattern");
        if (s == end_ || *s != p[0])
            return nullptr;
        int open = 1;
        while (++s < end_) {
            meter_.add(1);
            if (*s == p[1]) {
                if (--open == 0)
                    return s + 1;
            } else if (*s == p[0]) {
                ++open;
            }
        }
        return nullptr;
    }

    // '%f[set]': the place between a character outside the set and one in
    // it; the subject's start and end count as the zero byte. Returns the
    // rest of the pattern, or null.
    const char* match_frontier(const char* s, const char* p) {
        if (*p != '[')
            luaL_error(L_, "missing '[' after '%%f' in pattern");
        const char* item_end = end_of_item(p);
        meter_.add_scanned(static_cast<std::size_t>(item_end - p));
        int before = s == subject_ ? 0 : byte(s[-1]);
        int after = s == end_ ? 0 : byte(*s);
        if (matches_set(before, p, item_end - 1) || !matches_set(after, p, item_end - 1))
            return nullptr;
        return item_end;
    }

    // '%1' to '%9': the text of an earlier, closed capture again. A position
    // capture has no text and never matches.
    const char* match_back_reference(const char* s, int digit) {
        int i = digit - '1';
        if (i < 0 || i >= captured_ || captures_[i].length == CAPTURE_OPEN)
            luaL_error(L_, "invalid capture index");
        std::ptrdiff_t length = captures_[i].length;
        if (length < 0 || end_ - s < length)
            return nullptr;
        meter_.add_bytes(static_cast<std::size_t>(length));
        return std::memcmp(captures_[i].start, s, length) == 0 ? s + length : nullptr;
    }
};

// Plain search for find: the first place of the needle, or null.
const char* find_text(WorkMeter& meter, const char* text, std::size_t text_length, const char* needle,
                      std::size_t needle_length) {
    if (needle_length == 0)
        return text;
    if (needle_length > text_length)
        return nullptr;
    const char* last = text + (text_length - needle_length);
    const auto cost = static_cast<long long>(1 + needle_length / BYTES_PER_STEP);
    for (const char* s = text; s <= last; ++s) {
        s = static_cast<const char*>(std::memchr(s, needle[0], last - s + 1));
        if (!s)
            return nullptr;
        meter.add(cost);
        if (std::memcmp(s + 1, needle + 1, needle_length - 1) == 0)
            return s;
    }
    return nullptr;
}

// A string position from Lua: negative counts back from the end, and too
// far back means the start. Returns a 0-based offset within 0..length.
std::size_t start_offset(lua_Integer position, std::size_t length) {
    if (position < 0)
        position += static_cast<lua_Integer>(length) + 1;
    if (position <= 1)
        return 0;
    return position - 1 > static_cast<lua_Integer>(length) ? length : static_cast<std::size_t>(position - 1);
}

bool anchored(const char*& pattern) {
    if (*pattern != '^')
        return false;
    ++pattern;
    return true;
}

// find(s, pattern [, init [, plain]]) and match(s, pattern [, init]).
int find_or_match(lua_State* L, bool find) {
    std::size_t subject_length;
    std::size_t pattern_length;
    const char* subject = luaL_checklstring(L, 1, &subject_length);
    const char* pattern = luaL_checklstring(L, 2, &pattern_length);
    std::size_t start = start_offset(luaL_optinteger(L, 3, 1), subject_length);
    if (find && (lua_toboolean(L, 4) || !std::strpbrk(pattern, SPECIALS))) {
        WorkMeter meter(L);
        const char* found = find_text(meter, subject + start, subject_length - start, pattern, pattern_length);
        meter.settle();
        if (!found) {
            lua_pushnil(L);
            return 1;
        }
        lua_pushinteger(L, found - subject + 1);
        lua_pushinteger(L, found - subject + pattern_length);
        return 2;
    }
    Matcher matcher(L, subject, subject_length);
    bool only_at_start = anchored(pattern);
    for (std::size_t at = start; at <= subject_length; ++at) {
        const char* s = subject + at;
        if (const char* e = matcher.match_at(s, pattern)) {
            matcher.settle();
            if (!find)
                return matcher.push_captures(s, e);
            lua_pushinteger(L, at + 1);
            lua_pushinteger(L, e - subject);
            return matcher.push_captures(nullptr, nullptr) + 2;
        }
        if (only_at_start)
            break;
    }
    matcher.settle();
    lua_pushnil(L);
    return 1;
}

int watched_find(lua_State* L) {
    return find_or_match(L, true);
}

int watched_match(lua_State* L) {
    return find_or_match(L, false);
}

// The iterator of gmatch; its upvalues are the subject, the pattern and the
// offset to go on from. '^' has no special meaning here. After an empty
// match the next search starts one character further.
int next_match(lua_State* L) {
    std::size_t length;
    const char* subject = lua_tolstring(L, lua_upvalueindex(1), &length);
    const char* pattern = lua_tostring(L, lua_upvalueindex(2));
    Matcher matcher(L, subject, length);
    for (auto at = static_cast<std::size_t>(lua_tointeger(L, lua_upvalueindex(3))); at <= length; ++at) {
        const char* s = subject + at;
        if (const char* e = matcher.match_at(s, pattern)) {
            lua_pushinteger(L, e == s ? e - subject + 1 : e - subject);
            lua_replace(L, lua_upvalueindex(3));
            matcher.settle();
            return matcher.push_captures(s, e);
        }
    }
    matcher.settle();
    return 0;
}

int watched_gmatch(lua_State* L) {
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_settop(L, 2);
    lua_pushinteger(L, 0);
    lua_pushcclosure(L, next_match, 3);
    return 1;
}

// The replacement text (argument 3) of gsub for the match s..e: '%0' is the
// match, '%1' to '%9' its captures, '%' before anything else that thing.
void add_replacement_text(Matcher& matcher, luaL_Buffer* result, const char* s, const char* e) {
    lua_State* L = result->L;
    std::size_t length;
    const char* text = lua_tolstring(L, 3, &length);
    matcher.charge_scanned(length);
    matcher.charge_bytes(static_cast<std::size_t>(e - s));
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != ESCAPE) {
            luaL_addchar(result, text[i]);
            continue;
        }
        // A '%' at the very end escapes the string's terminating zero byte.
        char c = text[++i];
        if (!std::isdigit(byte(c))) {
            luaL_addchar(result, c);
        } else if (c == '0') {
            luaL_addlstring(result, s, e - s);
        } else {
            matcher.push_capture(c - '1', s, e);
            luaL_addvalue(result);
        }
    }
}

// Adds what replaces the match s..e: from the replacement text, the function
// called with the captures, or the table indexed by the first capture. Nil or
// false keeps the match.
void add_replacement(Matcher& matcher, luaL_Buffer* result, const char* s, const char* e) {
    lua_State* L = result->L;
    switch (lua_type(L, 3)) {
    case LUA_TFUNCTION: {
        lua_pushvalue(L, 3);
        int count = matcher.push_captures(s, e);
        lua_call(L, count, 1);
        break;
    }
    case LUA_TTABLE:
        matcher.push_capture(0, s, e);
        lua_gettable(L, 3);
        break;
    default:
        add_replacement_text(matcher, result, s, e);
        return;
    }
    if (!lua_toboolean(L, -1)) {
        lua_pop(L, 1);
        lua_pushlstring(L, s, e - s);
    } else if (!lua_isstring(L, -1)) {
        luaL_error(L, "invalid replacement value (a %s)", luaL_typename(L, -1));
    }
    luaL_addvalue(result);
}

// gsub(s, pattern, replacement [, n]): the new text and the number of
// replacements made.
int watched_gsub(lua_State* L) {
    std::size_t length;
    const char* subject = luaL_checklstring(L, 1, &length);
    const char* pattern = luaL_checkstring(L, 2);
    int replacement_type = lua_type(L, 3);
    int most = luaL_optint(L, 4, length + 1);
    luaL_argcheck(L,
                  replacement_type == LUA_TNUMBER || replacement_type == LUA_TSTRING ||
                      replacement_type == LUA_TFUNCTION || replacement_type == LUA_TTABLE,
                  3, "string/function/table expected");
    bool only_at_start = anchored(pattern);
    luaL_Buffer result;
    luaL_buffinit(L, &result);
    Matcher matcher(L, subject, length);
    const char* s = subject;
    const char* end = subject + length;
    int replaced = 0;
    while (replaced < most) {
        const char* e = matcher.match_at(s, pattern);
        if (e) {
            ++replaced;
            add_replacement(matcher, &result, s, e);
        }
        if (e && e > s)
            s = e;
        else if (s < end)
            luaL_addchar(&result, *s++);
        else
            break;
        if (only_at_start)
            break;
    }
    luaL_addlstring(&result, s, end - s);
    matcher.settle();
    luaL_pushresult(&result);
    lua_pushinteger(L, replaced);
    return 2;
}

} // namespace

void install_watched_patterns(lua_State* L) {
    lua_getglobal(L, "string");
    const luaL_Reg functions[] = {{"find", watched_find}, {"match", watched_match}, {"gsub", watched_gsub}};
    for (const luaL_Reg& function : functions) {
        lua_pushcfunction(L, function.func);
        lua_setfield(L, -2, function.name);
    }
    // gfind is gmatch under its old name: one function.
    lua_pushcfunction(L, watched_gmatch);
    lua_pushvalue(L, -1);
    lua_setfield(L, -3, "gmatch");
    lua_setfield(L, -2, "gfind");
    lua_pop(L, 1);
}
