-- expect: device not found: pusher_0 x
action('pusher_0\0x', 'on', 0)
