-- expect: program ran too long (more than 40000000 instructions)
local t = {}
for i = 1, 50 do t[i] = string.rep('x', 1000) end
while true do local _ = table.concat(t) .. string.rep('y', 2^13) end
