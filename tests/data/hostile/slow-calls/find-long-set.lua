-- expect: program ran too long (more than 40000000 instructions)
local set = '[' .. string.rep('a', 2^16 - 2) .. ']'
while true do string.find(string.rep('b', 1000), set) end
