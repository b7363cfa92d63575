-- expect: program ran too long (more than 40000000 instructions)
local function f() return f() end
while true do pcall(f) coroutine.resume(coroutine.create(function() while true do end end)) end
