-- expect: program ran too long
while true do
    pcall(pcall, function() while true do end end)
    xpcall(function() while true do end end, function() while true do end end)
end
