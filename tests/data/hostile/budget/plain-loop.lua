-- expect: program ran too long
while true do end
