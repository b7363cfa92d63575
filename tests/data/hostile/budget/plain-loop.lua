-- expect: program ran too long (more than 40000000 instructions)
while true do end
