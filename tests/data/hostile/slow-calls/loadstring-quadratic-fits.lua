-- expect: program ran too long (more than 40000000 instructions)
local text = 'return x' .. string.rep(' or x', 3000)
while true do assert(loadstring(text)) end
