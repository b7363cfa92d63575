-- expect: program ran too long
local s = string.rep('\0', 2^18)
local t = {}
for i = 1, 64 do t[i] = s end
table.sort(t)
