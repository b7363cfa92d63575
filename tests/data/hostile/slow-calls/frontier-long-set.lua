-- expect: program ran too long
string.find(string.rep('b', 100000), '%f[' .. string.rep('a', 2^18 - 4) .. ']')
