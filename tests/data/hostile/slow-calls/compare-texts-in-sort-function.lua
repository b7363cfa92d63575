-- expect: program ran too long (more than 40000000 instructions)
local s = string.rep('\0', 2^16)
local t = {}
for i = 1, 64 do t[i] = s end
table.sort(t, function(a, b) return a < b end)
