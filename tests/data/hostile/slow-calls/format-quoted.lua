-- expect: program ran too long (more than 40000000 instructions)
-- '%q' writes a text character by character: 64 KB in, 160 KB out.
local s = string.rep('\0"\\\n', 2^14)
while true do local _ = string.format('%q', s) end
