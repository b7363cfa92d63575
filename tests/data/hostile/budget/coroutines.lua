-- expect: program ran too long (more than 40000000 instructions)
local s = string.rep('\0', 2^16)
local slow = coroutine.wrap(function() while true do local _ = s < s coroutine.yield() end end)
for i = 1, 3 do slow() end
while true do
    coroutine.resume(coroutine.create(function() while true do local _ = s < s end end))
end
