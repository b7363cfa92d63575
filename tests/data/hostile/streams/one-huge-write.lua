-- expect: finish
io.write(string.rep('z', 2^22), '\n')
print(string.rep('z', 2^22))
