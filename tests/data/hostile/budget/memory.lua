-- expect: program ran too long (more than 40000000 instructions)
-- Every byte a program allocates counts, so one run of the code cannot
-- fill the run's 64 MB by itself (a later one would meet the memory limit).
local t = {}
while true do t[#t + 1] = string.rep(#t .. ' ', 2^13) end
