-- expect: finish
-- Tables never run finalizers in Lua 5.1; closing the run must not hang.
local mt = {__gc = function() while true do end end}
for i = 1, 1000 do setmetatable({}, mt) end
getmetatable('').__gc = mt.__gc
