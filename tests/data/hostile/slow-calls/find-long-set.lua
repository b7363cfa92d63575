-- expect: program ran too long
local set = '[' .. string.rep('a', 2^18 - 2) .. ']'
while true do string.find(string.rep('b', 1000), set) end
