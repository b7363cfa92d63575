-- expect: program ran too long (more than 40000000 instructions)
-- Varargs handed back and on: returned, counted, and copied into tables.
local t = {}
for i = 1, 500 do t[i] = i end
local function pass(...) return ... end
local function g(...) while true do local n, copy = select("#", pass(...)), {...} end end
g(unpack(t))
