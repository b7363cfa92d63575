-- expect: finish
local t = {1, 2, 3}
assert(table.remove(t, -2^31) == nil and table.remove(t, 2^53) == nil)
assert(table.remove(t, 0 / 0) == nil and #t == 3)
