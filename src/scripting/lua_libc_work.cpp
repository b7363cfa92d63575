#include "scripting/lua_libc_work.h"

#include <dlfcn.h>
#include <link.h>

#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "scripting/scripting_engine.h"
#include "scripting/work_meter.h"

namespace {

// Where Lua's code lies in memory: the executable part of the library that
// holds lua_newstate.
std::atomic<std::uintptr_t> lua_code_start{0};
std::atomic<std::uintptr_t> lua_code_end{0};

int find_lua_code(dl_phdr_info* info, std::size_t, void* lua_base) {
    if (reinterpret_cast<void*>(info->dlpi_addr) != lua_base)
        return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X)) {
            lua_code_start = info->dlpi_addr + segment.p_vaddr;
            lua_code_end = info->dlpi_addr + segment.p_vaddr + segment.p_memsz;
        }
    }
    return 1;
}

// The C library's version of one function: the next definition after this
// program's, looked up at its first use (the game's own code calls some of
// these before any engine exists: dates in the file chooser).
template <typename Function> class Next {
public:
    constexpr explicit Next(const char* name) : name_(name) {}
    Function get() {
        Function function = function_.load(std::memory_order_relaxed);
        if (!function) {
            function = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name_));
            function_.store(function, std::memory_order_relaxed);
        }
        return function;
    }

private:
    const char* name_;
    std::atomic<Function> function_{nullptr};
};

Next<int (*)(const void*, const void*, std::size_t)> c_memcmp("memcmp");
Next<int (*)(const char*, const char*)> c_strcoll("strcoll");
Next<double (*)(const char*, char**)> c_strtod("strtod");
Next<unsigned long (*)(const char*, char**, int)> c_strtoul("strtoul");
Next<int (*)(char*, int, std::size_t, const char*, std::va_list)> c_vsprintf_chk("__vsprintf_chk");
Next<double (*)(double, double)> c_pow("pow");
Next<std::clock_t (*)()> c_clock("clock");
Next<std::time_t (*)(std::tm*)> c_mktime("mktime");
Next<std::tm* (*)(const std::time_t*)> c_localtime("localtime");
Next<std::tm* (*)(const std::time_t*)> c_gmtime("gmtime");
Next<std::size_t (*)(char*, std::size_t, const char*, const std::tm*)> c_strftime("strftime");

// What one call costs here, in instructions, before the bytes it looks at.
constexpr long long MEMCMP_COST = 1;
constexpr long long STRCOLL_COST = 4;
constexpr long long NUMBER_READING_COST = 8;
constexpr long long NUMBER_WRITING_COST = 100;
constexpr long long POW_COST = 16;
constexpr long long CLOCK_COST = 400;
constexpr long long CALENDAR_COST = 600;
constexpr long long STRFTIME_COST = 100;

// The chunk that runs, when the caller lies in Lua's own code.
ScriptingEngine* payer_for(const void* caller) {
    auto at = reinterpret_cast<std::uintptr_t>(caller);
    if (at < lua_code_start.load(std::memory_order_relaxed) || at >= lua_code_end.load(std::memory_order_relaxed))
        return nullptr;
    return ScriptingEngine::running();
}

void charge(ScriptingEngine* payer, long long call_cost, std::size_t bytes = 0) {
    if (payer)
        payer->charge_inside_instruction(call_cost + static_cast<long long>(bytes / BYTES_PER_STEP));
}

// Charges a call from Lua's code that looks at a whole text.
void charge_text(const void* caller, long long call_cost, const char* text) {
    if (ScriptingEngine* payer = payer_for(caller))
        charge(payer, call_cost, std::strlen(text));
}

} // namespace

void watch_lua_libc_work() {
    if (lua_code_end.load())
        return;
    Dl_info lua_library{};
    if (dladdr(reinterpret_cast<void*>(&lua_newstate), &lua_library) != 0)
        dl_iterate_phdr(find_lua_code, lua_library.dli_fbase);
}

extern "C" int memcmp(const void* a, const void* b, std::size_t length) noexcept {
    charge(payer_for(__builtin_return_address(0)), MEMCMP_COST, length);
    if (auto next = c_memcmp.get())
        return next(a, b, length);
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    for (std::size_t i = 0; i < length; ++i)
        if (x[i] != y[i])
            return x[i] < y[i] ? -1 : 1;
    return 0;
}

extern "C" int strcoll(const char* a, const char* b) noexcept {
    charge_text(__builtin_return_address(0), STRCOLL_COST, a);
    if (auto next = c_strcoll.get())
        return next(a, b);
    return std::strcmp(a, b);
}

extern "C" double strtod(const char* text, char** end) noexcept {
    charge_text(__builtin_return_address(0), NUMBER_READING_COST, text);
    if (auto next = c_strtod.get())
        return next(text, end);
    return static_cast<double>(std::strtold(text, end));
}

extern "C" unsigned long strtoul(const char* text, char** end, int base) noexcept {
    charge_text(__builtin_return_address(0), NUMBER_READING_COST, text);
    if (auto next = c_strtoul.get())
        return next(text, end, base);
    return static_cast<unsigned long>(std::strtoull(text, end, base));
}

// What Lua's code calls for sprintf, the C library being built to check
// the buffer's size.
extern "C" int __sprintf_chk(char* out, int flag, std::size_t room, const char* format, ...) noexcept {
    charge(payer_for(__builtin_return_address(0)), NUMBER_WRITING_COST);
    std::va_list values;
    va_start(values, format);
    int written = 0;
    if (auto next = c_vsprintf_chk.get())
        written = next(out, flag, room, format, values);
    else
        written = std::vsnprintf(out, room, format, values);
    va_end(values);
    return written;
}

extern "C" double pow(double base, double exponent) noexcept {
    charge(payer_for(__builtin_return_address(0)), POW_COST);
    if (auto next = c_pow.get())
        return next(base, exponent);
    return std::exp(exponent * std::log(base));
}

extern "C" std::clock_t clock() noexcept {
    charge(payer_for(__builtin_return_address(0)), CLOCK_COST);
    auto next = c_clock.get();
    return next ? next() : static_cast<std::clock_t>(-1);
}

extern "C" std::time_t mktime(std::tm* time) noexcept {
    charge(payer_for(__builtin_return_address(0)), CALENDAR_COST);
    auto next = c_mktime.get();
    return next ? next(time) : static_cast<std::time_t>(-1);
}

extern "C" std::tm* localtime(const std::time_t* time) noexcept {
    charge(payer_for(__builtin_return_address(0)), CALENDAR_COST);
    auto next = c_localtime.get();
    return next ? next(time) : nullptr;
}

extern "C" std::tm* gmtime(const std::time_t* time) noexcept {
    charge(payer_for(__builtin_return_address(0)), CALENDAR_COST);
    auto next = c_gmtime.get();
    return next ? next(time) : nullptr;
}

extern "C" std::size_t strftime(char* out, std::size_t room, const char* format, const std::tm* time) noexcept {
    charge(payer_for(__builtin_return_address(0)), STRFTIME_COST);
    auto next = c_strftime.get();
    return next ? next(out, room, format, time) : 0;
}
