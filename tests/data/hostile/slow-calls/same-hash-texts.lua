-- expect: program ran too long (more than 40000000 instructions)
-- Texts whose hash samples agree all land in one bucket of Lua's string table.
local base = string.rep('a', 2^16 - 2)
local kept = {}
for i = 1, 20 do kept[i] = base .. string.char(i) .. 'z' end
local i = 0
while true do i = (i + 1) % 200 local _ = base .. string.char(i) .. 'z' end
