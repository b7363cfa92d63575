-- expect: not enough memory
assert(string.rep('x', -2^31) == '' and string.rep('', 2^53) == '' and ('x'):rep(0 / 0) == '')
string.rep('ab', 2^53)
