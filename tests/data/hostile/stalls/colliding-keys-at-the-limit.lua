-- expect: not enough memory
-- The same at the largest hash part a table may have, 4096 nodes: the
-- insert that grows it there walks a chain of up to 2049 keys for each.
local t = {}
for k = 0, 4096 do t[2^52 + k * 4095] = true end
