-- expect: unfinished string near
local text = "x = '" .. string.rep('s', 60000)
local f, message = loadstring(text)
error(message, 0)
