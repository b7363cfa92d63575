-- expect: 6 40 18
error(string.format('%d %d %d', math.random(6), math.random(100), math.random(10, 20)), 0)
