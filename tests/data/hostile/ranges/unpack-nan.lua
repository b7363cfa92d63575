-- expect: too many results to unpack
assert(select('#', unpack({1, 2}, 0 / 0, 1)) == 2)
unpack({}, -math.huge, math.huge)
