-- expect: text too long to load
local piece = '-- ' .. string.rep('c', 60) .. '\n'
local f, message = load(function() return piece end)
error(message, 0)
