-- expect: program ran too long (more than 40000000 instructions)
local t = {}
for i = 1, 4000 do t[i] = i end
while true do table.insert(t, 1, 0) table.remove(t, 1) end
