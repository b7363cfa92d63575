-- expect: 1 2 690636 -1
-- A seed gives the numbers it gives in Lua 5.1, and reseeds this run only.
math.randomseed(42)
error(string.format('%d %d %d %d', math.random(6), math.random(6), math.random(1000000), math.random(-5, 5)), 0)
