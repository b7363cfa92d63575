-- expect: not enough memory
local t = {}
while true do t[#t + 1] = string.rep('m', 2^24) .. #t end
