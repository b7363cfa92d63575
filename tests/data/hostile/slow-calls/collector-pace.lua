-- expect: program ran too long (more than 40000000 instructions)
collectgarbage('setstepmul', 2^31 - 1)
collectgarbage('setpause', 0)
local t = {}
for i = 1, 4000 do t[i] = {} end
while true do local _ = {} end
