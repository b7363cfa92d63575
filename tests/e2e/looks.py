"""How the journey recognises each screen of the game in a screenshot: by
comparing parts of it with the game's own pictures, or by colours that the
game itself draws."""

import os

from pictures import close, count_pixels, is_ink, load_picture, match_fraction, region_match
from layout import (CARD_X, CARD_Y, LIST_TOP, LIST_ROW_H, LIST_ROWS, CHOOSER_PANEL, CHOOSER_COLOUR,
                    STATUS_WELL, PAUSED_X, PAUSED_Y, PAUSED_NUMBER_ROWS, FATAL_TITLE_BAR, FATAL_TITLE_COLOUR,
                    CONSOLE, CONSOLE_RIM, CONSOLE_BACK, SPEED_AREA, SPEED_COLOUR)

SAME = 0.97           # share of pixels that must match for "this picture shows"
ERROR_TEXT_ROWS = range(39, 105)  # the error card's message strip and the hint below it


class Looks:
    def __init__(self, img_dir):
        def picture(name):
            return load_picture(os.path.join(img_dir, name))

        self.selection = picture("background_selection.gif")
        self.construction_bg = picture("background_construction.gif")
        self.simulation_bg = picture("background_simulation.gif")
        self.editing_bg = picture("background_editing.gif")
        self.win_card = picture("win.gif")
        self.error_card = picture("error.gif")
        self.quit_card = picture("quit.gif")
        self.paused_plate = picture("paused.gif")

    # Full-window screens, told apart by parts nothing else draws over.
    def level_list(self, shot):
        return (region_match(shot, self.selection, 0, 0, 800, 95) > SAME and
                region_match(shot, self.selection, 665, 550, 727, 577) > SAME and
                not self.chooser(shot))

    def construction(self, shot):
        x0, y0, x1, _ = STATUS_WELL
        return (region_match(shot, self.construction_bg, 0, 552, 800, y0) > SAME and
                region_match(shot, self.construction_bg, x1, 552, 800, 600) > SAME and
                not self.any_card(shot))

    def status_news(self, shot):
        """The game wrote news over the status line's own text."""
        return region_match(shot, self.construction_bg, *STATUS_WELL) < SAME

    def news_while_running(self, shot):
        """The game wrote news over the running screen's status line."""
        return region_match(shot, self.simulation_bg, *STATUS_WELL) < SAME

    def paused(self, shot):
        rows = [r for r in range(self.paused_plate.height) if r not in PAUSED_NUMBER_ROWS]
        return match_fraction(shot, self.paused_plate, PAUSED_X, PAUSED_Y, rows=rows) > SAME

    def step_number(self, shot):
        """The pixels of the paused plate's step number."""
        return bytes(v for y in PAUSED_NUMBER_ROWS for x in range(self.paused_plate.width)
                     for v in shot.pixel(PAUSED_X + x, PAUSED_Y + y))

    def editing(self, shot):
        return region_match(shot, self.editing_bg, 0, 0, 800, 45) > SAME

    # Message cards drawn at (50, 350).
    def win(self, shot):
        return match_fraction(shot, self.win_card, CARD_X, CARD_Y) > SAME

    def error(self, shot):
        rows = [r for r in range(self.error_card.height) if r not in ERROR_TEXT_ROWS]
        return match_fraction(shot, self.error_card, CARD_X, CARD_Y, rows=rows) > SAME

    def quit(self, shot):
        return match_fraction(shot, self.quit_card, CARD_X, CARD_Y) > SAME

    def console(self, shot):
        x0, y0, x1, y1 = CONSOLE
        rim = [(x0, y0), (x1 - 1, y0), (x0, y1 - 1), (x1 - 1, y1 - 1)]
        inside = [(x0 + 300, y0 + 130), (x1 - 4, y0 + 4), (x0 + 4, y1 - 4)]
        return (all(close(shot.pixel(x, y), CONSOLE_RIM, 8) for x, y in rim) and
                all(close(shot.pixel(x, y), CONSOLE_BACK, 8) for x, y in inside))

    def speed_shown(self, shot):
        return count_pixels(shot, *SPEED_AREA, lambda p: close(p, SPEED_COLOUR, 12)) > 10

    def any_card(self, shot):
        return self.win(shot) or self.error(shot) or self.quit(shot)

    # The chooser: its panel colour fills its corners.
    def chooser(self, shot):
        x0, y0, x1, y1 = CHOOSER_PANEL
        corners = [(x0 + 4, y0 + 4), (x1 - 5, y0 + 4), (x0 + 4, y1 - 5), (x1 - 5, y1 - 5)]
        return all(close(shot.pixel(x, y), CHOOSER_COLOUR, 6) for x, y in corners)

    def fatal_box(self, shot):
        x0, y0, x1, y1 = FATAL_TITLE_BAR
        red = count_pixels(shot, x0, y0, x1, y1, lambda p: close(p, FATAL_TITLE_COLOUR))
        white = count_pixels(shot, x0, y0, x1, y1, lambda p: min(p) > 230)
        return red > 0.8 * (x1 - x0) * (y1 - y0) and white > 20


def error_text_shown(shot):
    """The error card's message strip carries black text."""
    top = CARD_Y + ERROR_TEXT_ROWS.start
    return count_pixels(shot, 70, top + 2, 730, top + len(ERROR_TEXT_ROWS) - 2, is_ink) > 30


# The tick that marks a solved level, right of the row's text.
TICK_COLOUR = (24, 120, 48)


def solved_rows(shot):
    """Which of the level list's rows carry the solved tick."""
    return [count_pixels(shot, 400, LIST_TOP + LIST_ROW_H * i, 800, LIST_TOP + LIST_ROW_H * (i + 1),
                         lambda p: close(p, TICK_COLOUR)) > 40 for i in range(LIST_ROWS)]


def list_rows_with_text(shot):
    """Which of the level list's rows carry black text (left of the load button)."""
    return [count_pixels(shot, 25, LIST_TOP + LIST_ROW_H * i + 2, 640, LIST_TOP + LIST_ROW_H * (i + 1) - 2,
                         is_ink) > 30 for i in range(LIST_ROWS)]
