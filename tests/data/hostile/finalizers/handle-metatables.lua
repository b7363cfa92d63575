-- expect: finish
-- No way leads to a metatable that a finalizer could be put into.
assert(getmetatable(io.stdout) == false and getmetatable(io.stderr) == false)
assert(io.stdout.__index == nil and io.stdout.__gc == nil and io.stdin == nil)
assert(require('io') == io and package.loaded.io == io)
for _, f in ipairs({io.write, io.stdout.write, print, io.type}) do
    local env = getfenv(f)
    assert(env == _G, 'a library function carries an environment of its own')
end
assert(not pcall(newproxy, true) and debug == nil)
