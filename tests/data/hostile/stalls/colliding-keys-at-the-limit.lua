-- expect: not enough memory
-- The same at the largest hash part a table may have, 1024 nodes: the
-- insert that grows it there walks a chain of up to 513 keys for each.
local t = {}
for k = 0, 1024 do t[2^52 + k * 1023] = true end
