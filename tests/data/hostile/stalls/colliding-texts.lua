-- expect: program ran too long (more than 40000000 instructions)
-- Long texts that differ only where Lua's hash does not look share one
-- chain of its string table: making one more compares it with each.
local base = string.rep('a', 2^15)
local kept = {}
for i = 1, 64 do kept[i] = base .. string.char(i) .. string.rep('b', 31) end
local i = 0
while true do i = i % 64 + 1 local _ = base .. string.char(i) .. string.rep('b', 31) end
