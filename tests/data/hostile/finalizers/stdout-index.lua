-- expect: attempt to index field '__index' (a nil value)
io.stdout.__index.__gc = function() while true do end end
