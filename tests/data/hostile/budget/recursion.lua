-- expect: not enough memory
-- The call stack is one allocation, and can grow no larger than any other.
local function f(n) return 1 + f(n + 1) end
f(1)
