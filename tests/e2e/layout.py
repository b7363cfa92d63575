"""Where things are in the game's 800 x 600 window: the one place the
journey's scripts learn the layout from."""

SCREEN_W = 800
SCREEN_H = 600
CELL = 25
BIN_X = 650               # the parts bin's left edge in the window

# Window places the journey presses (all inside the game's hit rectangles).
SAVE_BUTTON = (52, 573)
LOAD_BUTTON = (695, 563)
INIT_BOX_TOP, CYCLE_BOX_TOP = 50, 220
EDITOR_ROW_H = 15
CHOOSER_ROW_H = 15
CARD_CLICK = (400, 455)       # on a message card, clear of its text strip

CARD_X, CARD_Y = 50, 350

# The level list: rows of 20 pixels from y = 100, text from x = 25, a page of
# them above the load button.
LIST_TOP, LIST_ROW_H, LIST_ROWS = 100, 20, 22

# The in-game file chooser (its panel and the rows of its file list).
CHOOSER_PANEL = (20, 80, 780, 520)
CHOOSER_COLOUR = (222, 214, 196)
CHOOSER_LIST_X, CHOOSER_LIST_Y = 36, 142

# The status line in the bottom bar, where the game writes its news over the
# background's own text.
STATUS_WELL = (94, 573, 449, 593)

# The plate shown on the simulation panel while a run stands paused, and the
# window in it that holds the step number.
PAUSED_X, PAUSED_Y = 662, 424
PAUSED_NUMBER_ROWS = range(36, 65)

# The console over the lower floor (C): its rim and its dark inside.
CONSOLE = (6, 404, 644, 544)
CONSOLE_RIM, CONSOLE_BACK = (120, 98, 58), (22, 24, 28)
# The speed of a fast run, on the simulation panel below the step counter.
SPEED_AREA, SPEED_COLOUR = (680, 506, 772, 528), (240, 210, 138)

# The box of a fatal message, centred in the window.
FATAL_TITLE_BAR = (172, 247, 628, 269)
FATAL_TITLE_COLOUR = (160, 20, 20)

# Buttons as (x, y) relative to the panel; each has a 30 x 29 hit area.
FACING = {0: (59, 52), 3: (24, 84), 2: (59, 84), 1: (95, 84)}             # sensors, pushers
SPRAYERS = {d: (x, y + 124) for d, (x, y) in FACING.items()}
LAMPS = {(0, 0, 255): (30, 167), (255, 128, 0): (92, 167), (255, 0, 0): (30, 210), (0, 255, 0): (92, 210)}
GRABBERS = {1: (30, 288), 0: (92, 288)}                                     # by "left"
BELT = {"direction": {0: (59, 72), 3: (24, 104), 2: (59, 104), 1: (95, 104)},
        "period": {10: (30, 200), 5: (92, 200)},
        "length": {1: (30, 300), 2: (92, 300), 4: (30, 342), 8: (92, 342)}}
BELT_DRAG_AREA = (38 + 35, 431 + 19)
