// What a player's program may and may not reach: saves are shared, so a
// program must not touch the system, load native code or bytecode.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "scripting/lua_sandbox.h"
#include "scripting/scripting_engine.h"

namespace {

TEST(LuaSandbox, SystemFunctionsAreRefusedByName) {
    ScriptingEngine script;
    for (std::string name :
         {"os.execute", "os.remove", "os.rename", "os.exit", "os.tmpname", "os.getenv", "os.setlocale", "io.open",
          "io.popen", "io.lines", "io.input", "io.output", "io.read", "io.tmpfile", "io.close", "dofile", "loadfile",
          "newproxy", "package.loadlib",
          // The game's own streams cannot be read, moved, closed or set up.
          "io.stdout.read", "io.stdout.lines", "io.stdout.seek", "io.stderr.close", "io.stderr.setvbuf"}) {
        script.run_code((name + "(io.stdout, 'x')").c_str(), "EVERY TIME");
        std::string shown = name.rfind("io.std", 0) == 0 ? "file:" + name.substr(10) : name;
        EXPECT_EQ(script.error(), "[string \"EVERY TIME\"]:1: " + shown + " is not available in Gearloft programs");
    }
}

TEST(LuaSandbox, EverydayLibrariesWork) {
    ScriptingEngine script;
    script.run_code(R"(
        assert(type(os.clock()) == 'number' and type(os.time()) == 'number' and #os.date('%Y') == 4)
        io.write('') print('sandbox print works')
        assert(string.format('%03d', 7) == '007' and ('abc'):upper() == 'ABC')
        -- A long text goes in whole, or cut to its precision.
        local long = string.rep('x', 150)
        assert(string.format('%s', long) == long and string.format('%.3s', long) == 'xxx')
        assert(table.concat({1, 2}, ',') == '1,2' and math.floor(2.5) == 2)
        assert(coroutine.wrap(function() coroutine.yield(5) end)() == 5)
        assert(loadstring('return 1 + 1')() == 2)
        local pieces, i = {'return ', '3'}, 0
        assert(load(function() i = i + 1 return pieces[i] end)() == 3)
        -- Keys past the int range stay themselves.
        local wide = {[2^31] = 'past'}
        table.insert(wide, 2^31 + 1, 'next')
        assert(unpack(wide, 2^31, 2^31) == 'past' and wide[2^31 + 1] == 'next')
        assert(string.rep('ab', 3) == 'ababab' and string.rep('', 2^31 - 1) == '' and io.write('') == true)
        assert(select('#', xpcall(function() return 1, 2 end, print)) == 3)
        -- No real file handle: a finalizer put into its metatable would run
        -- unwatched.
        assert(getmetatable(io.stdout) == false and io.type(io.stdout) == 'file' and io.stdout.__index == nil)
        assert(package.path == '' and package.cpath == '' and require('string') == string)
        assert(not pcall(require, 'socket') and debug == nil and string.gfind == string.gmatch)
    )",
                    "EVERY TIME");
    EXPECT_FALSE(script.error()) << *script.error();
    // Texts load up to 65536 bytes, whole or in pieces; a byte more is
    // refused (one text cannot be that long, pieces can). Compiling a text
    // that long costs most of one run's budget, so each load runs alone.
    const std::string pieces = "local text = string.rep(' ', 65536 - 8) .. 'return 1' "
                               "local function pieces(...) local all, i = {...}, 0 "
                               "return function() i = i + 1 return all[i] end end ";
    for (const char* load : {"assert(loadstring(text)() == 1)", "assert(load(pieces(text))() == 1)",
                             "local f, why = load(pieces(text, ' ')) "
                             "assert(not f and why:find('text too long to load (more than 65536 bytes)', 1, true))"}) {
        script.run_code((pieces + load).c_str(), "EVERY TIME");
        EXPECT_FALSE(script.error()) << load << ": " << *script.error();
    }
}

TEST(LuaSandbox, PrecompiledChunksAreRefused) {
    ScriptingEngine script;
    script.run_code("bytecode = string.dump(function() action('d', 'ran', 1) end)", "FIRST TIME");
    lua_getglobal(script.state(), "bytecode");
    std::string bytecode(lua_tostring(script.state(), -1), lua_objlen(script.state(), -1));
    lua_pop(script.state(), 1);
    ASSERT_EQ(bytecode.substr(0, 4), "\x1bLua");

    script.run_code(bytecode.c_str(), "EVERY TIME");
    EXPECT_EQ(script.error(), BINARY_CHUNK_REFUSED);
    // loadstring and load answer as for any chunk that does not compile.
    for (const char* code :
         {"local f, message = loadstring(bytecode) assert(f == nil) error(message, 0)",
          "local i = 0 local f, message = load(function() i = i + 1 "
          "if i == 1 then return bytecode:sub(1, 1) elseif i == 2 then return bytecode:sub(2) end end)\n"
          "assert(f == nil) error(message, 0)"}) {
        script.run_code(code, "EVERY TIME");
        EXPECT_EQ(script.error(), BINARY_CHUNK_REFUSED) << code;
    }
    EXPECT_TRUE(script.queued_actions().empty()) << "no bytecode ran";
}

// Every name a program can reach in the globals, in each table they hold (a
// library, package's tables) and in the string metatable, walked by the
// program's own `pairs`; the streams' methods sit behind a metatable no
// program can get (SystemFunctionsAreRefusedByName). A name nobody listed
// here fails.
TEST(LuaSandbox, ProgramsFindExactlyTheListedNames) {
    const char* listed =
        "_G _VERSION action assert collectgarbage coroutine coroutine.create coroutine.resume "
        "coroutine.running coroutine.status coroutine.wrap coroutine.yield dofile error gcinfo getfenv "
        "getmetatable io io.close io.flush io.input io.lines io.open io.output io.popen io.read io.stderr "
        "io.stdout io.tmpfile io.type io.write ipairs load loadfile loadstring math "
        "math.abs math.acos math.asin math.atan math.atan2 math.ceil math.cos math.cosh math.deg math.exp "
        "math.floor math.fmod math.frexp math.huge math.ldexp math.log math.log10 math.max math.min math.mod "
        "math.modf math.pi math.pow math.rad math.random math.randomseed math.sin math.sinh math.sqrt math.tan "
        "math.tanh module newproxy next os os.clock os.date os.difftime os.execute os.exit os.getenv os.remove "
        "os.rename os.setlocale os.time os.tmpname package package.config package.cpath package.loaded "
        "package.loaded._G package.loaded.coroutine package.loaded.io package.loaded.math package.loaded.os "
        "package.loaded.package package.loaded.string package.loaded.table package.loaders package.loaders.1 "
        "package.loadlib package.path package.preload package.seeall pairs pcall print rawequal rawget rawset "
        "require select setfenv setmetatable string string.byte string.char string.dump string.find "
        "string.format string.gfind string.gmatch string.gsub string.len string.lower string.match string.rep "
        "string.reverse string.sub string.upper table table.concat table.foreach table.foreachi table.getn "
        "table.insert table.maxn table.remove table.setn table.sort tonumber tostring type unpack xpcall "
        "(string-metatable) (string-metatable).__index";
    ScriptingEngine script;
    lua_State* L = script.state();
    ASSERT_EQ(luaL_loadstring(L, R"(
        local names = {}
        local function walk(t, prefix, depth)
            for k, v in pairs(t) do
                local name = prefix .. tostring(k)
                names[#names + 1] = name
                if type(v) == 'table' and v ~= _G and depth < 2 and (depth == 0 or rawget(_G, k) ~= v) then
                    walk(v, name .. '.', depth + 1)
                end
            end
        end
        walk(_G, '', 0)
        walk({['(string-metatable)'] = getmetatable('')}, '', 1)
        table.sort(names)
        return table.concat(names, ' ')
    )"), 0);
    ASSERT_EQ(lua_pcall(L, 0, 1, 0), 0) << lua_tostring(L, -1);
    std::string found = lua_tostring(L, -1);
    lua_pop(L, 1);
    std::string sorted_listed;
    {
        std::vector<std::string> names;
        std::istringstream words(listed);
        for (std::string name; words >> name;)
            names.push_back(name);
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            sorted_listed += (sorted_listed.empty() ? "" : " ") + name;
    }
    EXPECT_EQ(found, sorted_listed);
}

} // namespace
