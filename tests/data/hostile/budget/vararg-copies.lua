-- expect: program ran too long (more than 40000000 instructions)
-- Every call f(...) copies all 1,000 values, in one instruction.
local t = {}
for i = 1, 1000 do t[i] = i end
local function f() end
local function g(...) while true do f(...) end end
g(unpack(t))
