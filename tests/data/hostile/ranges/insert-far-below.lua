-- expect: program ran too long
table.insert({}, -2^31, 1)
