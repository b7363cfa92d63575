-- expect: too many results to unpack
unpack({}, -2^31, 2^31 - 1)
