-- expect: finish
local s = 'hello'
for _, i in ipairs({-2^31, 2^31 - 1, -2^53, 2^53, 0 / 0, math.huge, -math.huge}) do
    s:sub(i) s:sub(1, i) s:sub(i, i) s:byte(i) s:byte(1, i) s:byte(i, -i)
end
