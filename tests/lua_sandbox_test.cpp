// What a player's program may and may not reach: saves are shared, so a
// program must not touch the system, load native code or bytecode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scripting/lua_sandbox.h"
#include "scripting/scripting_engine.h"

namespace {

TEST(LuaSandbox, SystemFunctionsAreRefusedByName) {
    const char* removed[] = {"os.execute",  "os.remove", "os.rename", "os.exit",      "os.tmpname",   "os.getenv",
                             "os.setlocale", "io.open",   "io.popen",  "io.lines",     "io.input",     "io.output",
                             "io.read",      "io.tmpfile", "dofile",   "loadfile",     "newproxy",
                             "package.loadlib"};
    struct Case {
        std::string code;
        std::string shown_name;
    };
    std::vector<Case> cases;
    for (const char* name : removed)
        cases.push_back({std::string(name) + "('gearloft_probe', 'x')", name});
    // Reading standard input would block the game.
    cases.push_back({"io.stdin:read()", "file:read"});
    cases.push_back({"io.stdin:lines()", "file:lines"});
    ScriptingEngine script;
    for (const Case& c : cases) {
        script.run_code(c.code.c_str(), "EVERY TIME");
        EXPECT_EQ(script.error, "[string \"EVERY TIME\"]:1: " + c.shown_name + " is not available in Gearloft programs");
    }
}

TEST(LuaSandbox, StandardFilesCanBeWrittenButTheirMetatableIsHidden) {
    ScriptingEngine script;
    // A finalizer put into the handles' metatable would run unwatched at close.
    script.run_code("assert(getmetatable(io.stdout) == false)\n"
                    "io.stdout:write('') assert(io.type(io.stdout) == 'file')",
                    "EVERY TIME");
    EXPECT_FALSE(script.error) << *script.error;
}

TEST(LuaSandbox, RequireFindsOnlyWhatIsLoaded) {
    ScriptingEngine script;
    script.run_code("assert(package.path == '' and package.cpath == '' and #package.loaders == 1)\n"
                    "assert(require('string') == string)\n"
                    "require('socket')",
                    "EVERY TIME");
    EXPECT_EQ(script.error,
              "[string \"EVERY TIME\"]:3: module 'socket' not found:\n\tno field package.preload['socket']");
}

TEST(LuaSandbox, EverydayLibrariesWork) {
    ScriptingEngine script;
    script.run_code(R"(
        assert(type(os.clock()) == 'number' and type(os.time()) == 'number')
        assert(#os.date('%Y') == 4 and os.difftime(10, 4) == 6)
        io.write('')
        print('sandbox print works')
        assert(string.format('%03d', 7) == '007' and ('abc'):upper() == 'ABC')
        assert(table.concat({1, 2}, ',') == '1,2' and math.floor(2.5) == 2)
        assert(coroutine.wrap(function() coroutine.yield(5) end)() == 5)
        assert(loadstring('return 1 + 1')() == 2)
        local pieces, i = {'return ', '3'}, 0
        assert(load(function() i = i + 1 return pieces[i] end)() == 3)
        assert(select(2, loadstring('x = = 1', 'probe')) == '[string "probe"]:1: unexpected symbol near \'=\'')
        assert(pcall(error) == false and type(string.dump) == 'function')
        assert(string.rep('ab', 3) == 'ababab' and string.rep('', 2^31 - 1) == '' and ('x'):rep(0) == '')
        local caught = {xpcall(function() error('x', 0) end, function(m) return 'handled ' .. m end)}
        assert(caught[1] == false and caught[2] == 'handled x')
        assert(select('#', xpcall(function() return 1, 2 end, print)) == 3)
        assert(debug == nil)
    )",
                    "EVERY TIME");
    EXPECT_FALSE(script.error) << *script.error;
}

TEST(LuaSandbox, PrecompiledChunksAreRefused) {
    ScriptingEngine script;
    script.run_code("bytecode = string.dump(function() action('d', 'ran', 1) end)", "FIRST TIME");
    ASSERT_FALSE(script.error);
    lua_getglobal(script.lua, "bytecode");
    std::string bytecode(lua_tostring(script.lua, -1), lua_objlen(script.lua, -1));
    lua_pop(script.lua, 1);
    ASSERT_EQ(bytecode.substr(0, 4), "\x1bLua");

    script.run_code(bytecode.c_str(), "EVERY TIME");
    EXPECT_EQ(script.error, BINARY_CHUNK_REFUSED);

    // loadstring and load answer as for any chunk that does not compile.
    const char* loaders[] = {
        "local f, message = loadstring(bytecode) assert(f == nil) error(message, 0)",
        "local f, message = loadstring(bytecode, 'named') assert(f == nil) error(message, 0)",
        "local i = 0 local f, message = load(function() i = i + 1 "
        "if i == 1 then return bytecode:sub(1, 1) elseif i == 2 then return bytecode:sub(2) end end)\n"
        "assert(f == nil) error(message, 0)",
    };
    for (const char* code : loaders) {
        script.run_code(code, "EVERY TIME");
        EXPECT_EQ(script.error, BINARY_CHUNK_REFUSED) << code;
    }
    EXPECT_TRUE(script.action_verbs.empty()) << "no bytecode ran";
}

} // namespace
