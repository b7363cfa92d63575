-- expect: line one line two
error('line one\nline two\0' .. string.rep('\r\t', 2^15 - 10), 0)
