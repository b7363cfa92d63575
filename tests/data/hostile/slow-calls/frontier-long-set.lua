-- expect: program ran too long (more than 40000000 instructions)
string.find(string.rep('b', 60000), '%f[' .. string.rep('a', 2^16 - 4) .. ']')
