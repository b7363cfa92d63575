-- expect: program ran too long (more than 40000000 instructions)
local s = string.rep('\0', 2^16)
while true do local _ = s < s end
