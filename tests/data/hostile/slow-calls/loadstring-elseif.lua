-- expect: text too long to load
local t = {'if x then'}
for i = 1, 6000 do t[#t + 1] = 'elseif x then' end
t[#t + 1] = 'end'
local f, message = loadstring(table.concat(t, ' '))
error(message, 0)
