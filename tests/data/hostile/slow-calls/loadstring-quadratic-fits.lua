-- expect: program ran too long
local text = 'return x' .. string.rep(' or x', 13000)
while true do assert(loadstring(text)) end
