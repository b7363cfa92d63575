-- expect: not enough memory
-- Keys whose two 32-bit halves add up alike modulo 65535 share one hash
-- chain once the table has 65536 nodes: the insert that grows it there
-- would walk that chain for every key, some 5e8 steps in one instruction.
-- No table part may grow that large.
local t = {}
for k = 0, 32768 do t[2^52 + k * 65535] = true end
