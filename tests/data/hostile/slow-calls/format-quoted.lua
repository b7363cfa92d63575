-- expect: program ran too long (more than 40000000 instructions)
-- '%q' writes a text character by character: 16 KB in, 40 KB out.
local s = string.rep('\0"\\\n', 2^12)
while true do local _ = string.format('%q', s) end
