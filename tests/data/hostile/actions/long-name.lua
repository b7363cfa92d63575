-- expect: action: the device name is longer than 31 characters
local s = string.rep('n', 2^16)
while true do action(s, 'on', 0) end
