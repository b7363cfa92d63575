-- expect: finish
-- A chunk that used most of its budget; the next chunk starts afresh.
local x = 0
for i = 1, 4e6 do x = x + i end
