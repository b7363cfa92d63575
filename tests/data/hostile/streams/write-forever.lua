-- expect: program ran too long
local s = string.rep('x', 1000)
while true do io.stderr:write(s) io.write(s) io.stdout:write(s) end
