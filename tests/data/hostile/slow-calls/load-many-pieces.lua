-- expect: text too long to load
local piece = 'x = x or y or z or w ' 
local f, message = load(function() return piece end)
error(message, 0)
