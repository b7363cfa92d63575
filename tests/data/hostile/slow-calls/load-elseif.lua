-- expect: not enough memory
-- Each elseif joins a growing list of jumps; the compiled code outgrows the
-- largest block a program may have before the text reaches its limit.
local pieces = {'if x then'}
local f, message = load(function() local piece = table.remove(pieces) or ' elseif x then' return piece end)
error(message, 0)
