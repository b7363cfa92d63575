-- expect: program ran too long (more than 40000000 instructions)
table.insert({}, -2^31, 1)
