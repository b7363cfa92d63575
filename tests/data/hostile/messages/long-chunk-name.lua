-- expect: [string "
local f, message = loadstring('x = = 1', string.rep('c', 2^16))
error(message, 0)
