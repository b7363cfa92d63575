-- expect: line one line two
error('line one\nline two\0' .. string.rep('\r\t', 2^20), 0)
