-- expect: finish
action('pusher_0', 'on\0x', 0)
action('pusher_0', 'off', 2^53) action('pusher_0', 'off', 0 / 0) action('pusher_0', 'off', -math.huge)
