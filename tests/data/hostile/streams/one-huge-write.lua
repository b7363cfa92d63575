-- expect: finish
io.write(string.rep('z', 2^18), '\n')
print(string.rep('z', 2^18))
