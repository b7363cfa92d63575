-- expect: program ran too long (more than 40000000 instructions)
-- Long texts compiled again and again; in a chain of `or`s the compiler
-- joins a growing list of jumps at every step.
local plain = string.rep('x = 1 ', 5000)
local chain = 'return x' .. string.rep(' or x', 3000)
while true do assert(loadstring(plain)) assert(loadstring(chain)) end
