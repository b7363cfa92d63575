"""What the journey needs to know about levels and saves, and how a player
rebuilds a saved solution by hand: which parts-bin button gives each device,
where to press and where to let go."""

import os
from dataclasses import dataclass, field

CELL = 25
BIN_X = 650               # the parts bin's left edge in the window
FLOOR_W, FLOOR_H = 26, 22
PLACEHOLDERS = ("-- Initialization Code Goes Here", "-- Every-cycle Code Goes Here")
TAB_SPACES = 4            # the editor turns Tab into this many spaces


class SolutionError(Exception):
    """A level or save the journey cannot play."""


# ---------------------------------------------------------------- level files

def _tokens(text):
    """The game's level-file tokens: text between "," or line ends, with every
    space and tab inside dropped."""
    for line in text.replace("\r\n", "\n").split("\n"):
        for token in line.split(","):
            yield token.replace(" ", "").replace("\t", "")


def _atoi(text):
    text = text.lstrip(" \t")
    sign, digits = 1, ""
    if text[:1] in "+-":
        sign, text = (-1 if text[0] == "-" else 1), text[1:]
    for ch in text:
        if not ch.isdigit():
            break
        digits += ch
    return sign * int(digits) if digits else 0


@dataclass
class LevelFile:
    name: str
    description: str
    difficulty: int
    converters: list = field(default_factory=list)   # (x, y, from_code, to_code)


ITEM_FIELDS = {"spawner": 2, "catcher": 3, "conveyer": 3, "converter": 2}


def read_level(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        text = f.read().decode("latin-1")
    lines = text.replace("\r\n", "\n").split("\n")
    level = LevelFile(name, lines[0][:255] if lines else "",
                      _atoi(lines[1]) if len(lines) > 1 else 0)
    tokens = list(_tokens("\n".join(lines[2:])))
    pos = 1
    count = _atoi(tokens[0]) if tokens else 0
    for _ in range(count):
        if pos + 3 > len(tokens):
            break
        keyword, x, y = tokens[pos], _atoi(tokens[pos + 1]), _atoi(tokens[pos + 2])
        fields = tokens[pos + 3:pos + 3 + ITEM_FIELDS.get(keyword, 0)]
        pos += 3 + ITEM_FIELDS.get(keyword, 0)
        if keyword == "converter" and len(fields) == 2:
            level.converters.append((x, y, ord(fields[0][:1] or "\0"), ord(fields[1][:1] or "\0")))
    return level


def shown_levels(folder):
    """The level list as the game shows it: difficulty 1 to 9, ties by file name."""
    levels = []
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if name.endswith(".lvl") and len(name) <= 120 and os.path.isfile(path):
            level = read_level(folder, name)
            if 1 <= level.difficulty <= 9:
                levels.append(level)
    levels.sort(key=lambda level: level.difficulty)   # stable: names stay in order
    return levels


# ----------------------------------------------------------------- save files

@dataclass(frozen=True)
class Record:
    letter: str
    fields: tuple

    @property
    def x(self):
        return self.fields[0]

    @property
    def y(self):
        return self.fields[1]

    def normal(self):
        """The record as the game writes it back after loading it."""
        f = list(self.fields)
        if self.letter == "a":
            f[3], f[4] = f[3] & 0xFF, f[4] & 0xFF
        if self.letter == "c":
            f[4] = 1 if f[4] == 1 else 0
        return ", ".join([self.letter] + [str(v) for v in f])


RECORD_FIELDS = {"a": 5, "b": 6, "c": 5, "d": 6, "e": 4, "f": 4, "g": 4}


def parse_record(line):
    parts = [p.strip() for p in line.split(",")]
    letter = parts[0]
    if letter not in RECORD_FIELDS or len(parts) != RECORD_FIELDS[letter] + 1:
        raise SolutionError("not a device record: %r" % line)
    try:
        return Record(letter, tuple(int(p) for p in parts[1:]))
    except ValueError:
        raise SolutionError("not a device record: %r" % line) from None


@dataclass
class Save:
    level_name: str
    records: list
    init_rows: list
    cycle_rows: list


def parse_save(text):
    lines = text.replace("\r\n", "\n").split("\n")
    try:
        end = lines.index("CODE")
    except ValueError:
        raise SolutionError("the save has no CODE line") from None
    records = [parse_record(line) for line in lines[1:end]]
    pos = end + 1
    blocks = []
    for _ in range(2):
        count = _atoi(lines[pos]) if pos < len(lines) else 0
        blocks.append(lines[pos + 1:pos + 1 + count])
        pos += 1 + count
    return Save(lines[0], records, blocks[0], blocks[1])


def read_save(path):
    with open(path, "rb") as f:
        return parse_save(f.read().decode("latin-1"))


# ------------------------------------------------------------ the parts bin

# Buttons as (page, x, y) relative to the panel; each has a 30 x 29 hit area.
DIRECTION_BUTTONS = {0: (59, 52), 3: (24, 84), 2: (59, 84), 1: (95, 84)}
SPRAYER_BUTTONS = {0: (59, 176), 3: (24, 208), 2: (59, 208), 1: (95, 208)}
BELT_DIRECTION = {0: (59, 72), 3: (24, 104), 2: (59, 104), 1: (95, 104)}
BELT_PERIOD = {10: (30, 200), 5: (92, 200)}
BELT_LENGTH = {1: (30, 300), 2: (92, 300), 4: (30, 342), 8: (92, 342)}
INDICATOR_BUTTONS = {(0, 0, 255): (30, 167), (255, 128, 0): (92, 167),
                     (255, 0, 0): (30, 210), (0, 255, 0): (92, 210)}
GRABBER_BUTTONS = {True: (30, 288), False: (92, 288)}
GRABBER_LENGTH = 18
BELT_DRAG_AREA = (38 + 35, 431 + 19)   # a press inside the conveyer drag area
KIND_NAMES = {"c": "grabber", "d": "indicator", "e": "pusher", "f": "sensor", "g": "sprayer"}


def button_point(item_xy):
    """A press in the middle of a parts-bin button, in window coordinates."""
    return BIN_X + item_xy[0] + 15, item_xy[1] + 14


def drop_point(press_xy, anchor_xy, target_cell):
    """Where to let go so that the device lands with its anchor on
    `target_cell`: the game keeps the grab offset (press minus the device's
    anchor pixel) and snaps the anchor pixel to the nearest cell."""
    gx = press_xy[0] - CELL * anchor_xy[0]
    gy = press_xy[1] - CELL * anchor_xy[1]
    drop = (CELL * target_cell[0] + gx, CELL * target_cell[1] + gy)
    # The same sum the game does, so a mistake here shows up at once.
    assert ((drop[0] - gx + 12) // CELL, (drop[1] - gy + 12) // CELL) == tuple(target_cell)
    return drop


@dataclass
class Step:
    """One thing the player does while building."""
    what: str                # "page", "click" or "drag"
    page: int = 0
    point: tuple = ()
    target: tuple = ()
    note: str = ""


def bin_source(record):
    """(page, button) for a device taken from the bin; belts use the drag area."""
    letter, f = record.letter, record.fields
    if letter == "e":
        return 2, _lookup(DIRECTION_BUTTONS, f[3], record)
    if letter == "f":
        return 1, _lookup(DIRECTION_BUTTONS, f[3], record)
    if letter == "g":
        return 1, _lookup(SPRAYER_BUTTONS, f[3], record)
    if letter == "d":
        return 2, _lookup(INDICATOR_BUTTONS, tuple(f[3:6]), record)
    if letter == "c":
        if f[3] != GRABBER_LENGTH:
            raise SolutionError("the parts bin only has grabbers of length %d: %s" %
                                (GRABBER_LENGTH, record.normal()))
        return 2, GRABBER_BUTTONS[f[4] == 1]
    raise SolutionError("no parts-bin button for %s" % record.normal())


def _lookup(table, key, record):
    if key not in table:
        raise SolutionError("the parts bin has no button for %s" % record.normal())
    return table[key]


def placement_order(records):
    """The records in save order, except that each kind's numbered devices
    come in ascending number, so that the game names them as the save does
    (it gives each new device the lowest free number of its kind)."""
    slots = {}
    for i, record in enumerate(records):
        if record.letter in KIND_NAMES:
            slots.setdefault(record.letter, []).append(i)
    ordered = list(records)
    for letter, indices in slots.items():
        mine = sorted((records[i] for i in indices), key=lambda r: r.fields[2])
        numbers = [r.fields[2] for r in mine]
        if numbers != list(range(len(mine))):
            raise SolutionError("%s numbers %s have gaps; the game numbers new devices 0, 1, 2, ..." %
                                (KIND_NAMES[letter], numbers))
        for i, record in zip(indices, mine):
            ordered[i] = record
    return ordered


def building_steps(level, save):
    """Everything the player does in construction mode to rebuild `save` on
    a freshly opened `level`: converters moved first (they come with the
    level), then every other device taken from the bin and dropped."""
    steps = []
    converters = list(level.converters)
    for record in save.records:
        if record.letter != "a":
            continue
        kind = (record.fields[3] & 0xFF, record.fields[4] & 0xFF)
        match = next((c for c in converters if (c[2], c[3]) == kind), None)
        if match is None:
            raise SolutionError("the level has no converter for %s" % record.normal())
        converters.remove(match)
        if (match[0], match[1]) != (record.x, record.y):
            press = (CELL * match[0] + 12, CELL * match[1] + 12)   # its anchor cell is solid
            steps.append(Step("drag", point=press, target=drop_point(press, match[:2], (record.x, record.y)),
                              note="move converter to (%d, %d)" % (record.x, record.y)))
    if converters:
        raise SolutionError("the save lacks a record for the level's converter at (%d, %d)" %
                            converters[0][:2])

    page = 0
    belt = {"length": 1, "direction": 0, "period": 10}
    for record in placement_order([r for r in save.records if r.letter != "a"]):
        if record.letter == "b":
            wanted_page, press = 0, (BIN_X + BELT_DRAG_AREA[0], BELT_DRAG_AREA[1])
        else:
            wanted_page, button = bin_source(record)
            press = button_point(button)
        if wanted_page != page:
            steps.append(Step("page", page=wanted_page))
            page = wanted_page
        if record.letter == "b":
            steps += _belt_settings(belt, record)
        anchor = (press[0] // CELL, press[1] // CELL)
        steps.append(Step("drag", point=press, target=drop_point(press, anchor, (record.x, record.y)),
                          note="place " + record.normal()))
    return steps


def _belt_settings(belt, record):
    length, direction, period = record.fields[3:6]
    steps = []
    for setting, value, table in (("length", length, BELT_LENGTH), ("direction", direction, BELT_DIRECTION),
                                  ("period", period, BELT_PERIOD)):
        if value not in table:
            raise SolutionError("the parts bin cannot set a belt %s of %d: %s" %
                                (setting, value, record.normal()))
        if belt[setting] != value:
            steps.append(Step("click", point=button_point(table[value]),
                              note="belt %s %d" % (setting, value)))
            belt[setting] = value
    return steps


# ------------------------------------------------------------------ the code

def typed_rows(rows, placeholder):
    """(rows to type after the placeholder, rows the editor then holds)."""
    rows = [row.replace("\t", " " * TAB_SPACES) for row in rows]
    for row in rows:
        if any(not " " <= ch <= "~" for ch in row):
            raise SolutionError("the editor's font cannot show this row: %r" % row)
    if rows and rows[0] == placeholder:
        rows = rows[1:]
    return rows, [placeholder] + rows


def expected_records(save):
    return sorted(record.normal() for record in save.records)
