-- expect: program ran too long
local s = string.rep('y', 100)
while true do print(s, 1, nil, true) end
