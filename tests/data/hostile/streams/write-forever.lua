-- expect: program ran too long (more than 40000000 instructions)
local s = string.rep('x', 1000)
while true do io.stderr:write(s) io.write(s) io.stdout:write(s) end
