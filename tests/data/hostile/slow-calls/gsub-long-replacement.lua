-- expect: program ran too long
string.gsub(string.rep('a', 5000), '', string.rep('%0', 2^17))
