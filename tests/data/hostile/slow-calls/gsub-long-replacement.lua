-- expect: program ran too long (more than 40000000 instructions)
string.gsub(string.rep('a', 5000), '', string.rep('%0', 2^15))
