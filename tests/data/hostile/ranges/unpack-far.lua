-- expect: too many results to unpack
unpack({}, 1, 2^53)
