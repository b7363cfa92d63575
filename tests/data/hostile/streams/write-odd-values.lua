-- expect: bad argument #1 to 'write'
assert(io.write(1.5, 'a\0b', -0) == true and io.type(io.stdout) == 'file' and io.type({}) == nil)
assert(not pcall(io.stdout.write, {}, 'x'))
io.write({})
