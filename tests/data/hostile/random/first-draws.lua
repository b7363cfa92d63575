-- expect: 0.840188 0.394383 0.783099
-- Every run draws the numbers a fresh Lua 5.1 program draws, whatever ran
-- before it in the game.
error(string.format('%.6f %.6f %.6f', math.random(), math.random(), math.random()), 0)
