-- expect: program ran too long (more than 40000000 instructions)
local s = string.rep('y', 100)
while true do print(s, 1, nil, true) end
