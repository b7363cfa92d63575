// What a player's program may and may not reach: saves are shared, so a
// program must not touch the system, load native code or bytecode.
#include <gtest/gtest.h>

#include <string>

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
        assert(table.concat({1, 2}, ',') == '1,2' and math.floor(2.5) == 2)
        assert(coroutine.wrap(function() coroutine.yield(5) end)() == 5)
        assert(loadstring('return 1 + 1')() == 2)
        local pieces, i = {'return ', '3'}, 0
        assert(load(function() i = i + 1 return pieces[i] end)() == 3)
        -- Texts load up to 65536 bytes, whole or in pieces; a byte more is refused.
        local at_limit = string.rep(' ', 65536 - 8) .. 'return 1'
        local function once(text) return function() local piece = text text = nil return piece end end
        assert(loadstring(at_limit)() == 1 and load(once(at_limit))() == 1)
        assert(not loadstring(at_limit .. ' ') and not load(once(at_limit .. ' ')))
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
        assert(not pcall(require, 'socket') and debug == nil)
    )",
                    "EVERY TIME");
    EXPECT_FALSE(script.error()) << *script.error();
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

} // namespace
