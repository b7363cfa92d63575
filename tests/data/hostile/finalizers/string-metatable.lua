-- expect: finish
local mt = getmetatable('')
mt.__index = function() while true do end end
mt.__gc = mt.__index
assert(pcall(string.rep, 'x', 2))
