-- expect: action: the verb is longer than 31 characters
action('pusher_0', string.rep('v', 32), 0)
