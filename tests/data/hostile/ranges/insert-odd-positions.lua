-- expect: finish
local t = {}
table.insert(t, 2^53, 'a')
table.insert(t, 0 / 0, 'b')
table.insert(t, math.huge, 'c')
assert(t[2^53] == 'c' and t[0] == 'b')
