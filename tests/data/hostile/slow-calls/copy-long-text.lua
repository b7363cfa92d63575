-- expect: program ran too long
local s = string.rep('x', 2^22)
while true do local _ = s .. 'x' end
