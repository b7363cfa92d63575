-- expect: action: more than 10000 actions in one run of the program
for i = 1, 10000 do action('pusher_0', 'on', 0) end
while true do action('pusher_0', 'on', 0) end
