-- expect: program ran too long (more than 40000000 instructions)
-- A full hash part of 1024 keys in one chain, one key taken out and another
-- put in again and again: every insert grows the table anew and walks the
-- whole chain for each key.
local t = {}
for k = 0, 1022 do t[2^52 + k * 1023] = true end
local k = 1023
while true do
  t[2^52 + (k - 1023) * 1023] = nil
  t[2^52 + k * 1023] = true
  k = k + 1
end
