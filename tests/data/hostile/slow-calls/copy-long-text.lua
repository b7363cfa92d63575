-- expect: program ran too long (more than 40000000 instructions)
local s = string.rep('x', 2^16 - 1)
while true do local _ = s .. 'x' end
