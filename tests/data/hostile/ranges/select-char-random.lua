-- expect: interval is empty
assert(select(2^31 - 1, 'a') == nil)
assert(not pcall(select, -2^31, 'a') and not pcall(string.char, 2^31))
local r = math.random(-2^31, 2^31 - 1)
assert(r >= -2^31 and r <= 2^31 - 1 and r == math.floor(r))
math.random(2^31 - 1, -2^31)
