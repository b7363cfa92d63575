-- expect: invalid value (nil) at index -2147483648 in table for 'concat'
assert(table.concat({'a', 'b'}, ',', 2^53, -2^53) == '')
table.concat({}, '', -2^31, 2^31 - 1)
