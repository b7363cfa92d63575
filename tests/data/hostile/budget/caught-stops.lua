-- expect: program ran too long (more than 40000000 instructions)
while true do
    pcall(pcall, function() while true do end end)
    xpcall(function() while true do end end, function() while true do end end)
end
