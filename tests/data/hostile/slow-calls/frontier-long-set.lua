-- expect: program ran too long (more than 40000000 instructions)
string.find(string.rep('b', 100000), '%f[' .. string.rep('a', 2^18 - 4) .. ']')
