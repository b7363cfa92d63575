-- expect: finish
io.write(string.rep('z', 2^16), '\n')
print(string.rep('z', 2^16))
