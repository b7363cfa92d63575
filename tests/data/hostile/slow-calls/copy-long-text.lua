-- expect: program ran too long
local s = string.rep('x', 2^18 - 1)
while true do local _ = s .. 'x' end
