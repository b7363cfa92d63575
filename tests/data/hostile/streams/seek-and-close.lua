-- expect: file:seek is not available in Gearloft programs
assert(not pcall(io.stdout.close, io.stdout) and not pcall(io.stderr.setvbuf, io.stderr, 'no'))
assert(not pcall(io.close) and not pcall(io.output, 'x') and not pcall(io.open, 'x', 'w'))
io.stdout:seek('set', 2^40)
