"""What the journey asks the game (through gearloft-sim) about levels and
saves, and how a player rebuilds a saved solution by hand: which parts-bin
button gives each device, where to press and where to let go."""

import subprocess
from dataclasses import dataclass
from layout import CELL, BIN_X, FACING, SPRAYERS, LAMPS, GRABBERS, BELT, BELT_DRAG_AREA

PLACEHOLDERS = ("-- Initialization Code Goes Here", "-- Every-cycle Code Goes Here")
TAB_SPACES = 4            # the editor turns Tab into this many spaces


class PlanError(Exception):
    """A level or save the journey cannot play."""


def sim(sim_path, game_dir, *args):
    """gearloft-sim's standard output, run in the game's folder."""
    result = subprocess.run([sim_path] + list(args), cwd=game_dir, capture_output=True, timeout=120)
    if result.returncode != 0:
        raise PlanError("gearloft-sim %s: status %d: %s" % (args, result.returncode, result.stderr))
    return result.stdout.decode("latin-1")


def shown_levels(sim_path, game_dir):
    """The level list as the game shows it: (file name, description) pairs."""
    return [tuple(line.split("\t", 1)) for line in sim(sim_path, game_dir, "--list").splitlines()]


@dataclass
class Described:
    level: str
    parts: list          # one dict per device: letter, its numbers by name, name, fixed
    init_rows: list
    cycle_rows: list


def describe(sim_path, game_dir, *what):
    """A save (its path) or a level file ("--level", name) as the game reads it."""
    lines = sim(sim_path, game_dir, *what, "--describe").split("\n")
    parts, code, pos = [], {}, 1
    while lines[pos].startswith("part "):
        words = lines[pos].split()
        part = {"letter": words[1], "fixed": "fixed" in words}
        part.update((k, v if k == "name" else int(v)) for k, v in (w.split("=") for w in words[2:] if "=" in w))
        parts.append(part)
        pos += 1
    for _ in range(2):
        kind, count = lines[pos].split()
        code[kind] = lines[pos + 1:pos + 1 + int(count)]
        pos += 1 + int(count)
    return Described(lines[0].split(" ", 1)[1], parts, code["init"], code["cycle"])


def part_text(part):
    return " ".join("%s=%s" % item for item in sorted(part.items()))




def button_point(item_xy):
    """A press in the middle of a parts-bin button, in window coordinates."""
    return BIN_X + item_xy[0] + 15, item_xy[1] + 14


def drop_point(press_xy, anchor, target):
    """Where to let go so that the anchor lands on `target`: the game keeps
    the grab offset and snaps the anchor pixel to the nearest cell."""
    return tuple(CELL * t + p - CELL * a for p, a, t in zip(press_xy, anchor, target))


def bin_source(part):
    """(page, button) of the parts bin that gives this device."""
    try:
        if part["letter"] in "ef":
            return 2 if part["letter"] == "e" else 1, FACING[part["direction"]]
        if part["letter"] == "g":
            return 1, SPRAYERS[part["direction"]]
        if part["letter"] == "d":
            return 2, LAMPS[(part["red"], part["green"], part["blue"])]
        if part["letter"] == "c" and part["length"] == 18:
            return 2, GRABBERS[part["left"]]
    except KeyError:
        pass
    raise PlanError("no parts-bin button for %s" % part_text(part))


def building_steps(level, save):
    """Everything the player does to rebuild `save` on the freshly opened
    `level`, as ("page", n), ("click", point) and ("drag", from, to): the
    level's converters moved first, then every other device taken from the
    bin in save order, each kind's numbered devices in ascending number so
    that the game names them as the save does."""
    steps = []
    home = [p for p in level.parts if p["letter"] == "a"]
    for part in (p for p in save.parts if p["letter"] == "a"):
        match = next((c for c in home if (c["from"], c["to"]) == (part["from"], part["to"])), None)
        if match is None:
            raise PlanError("the level has no converter for %s" % part_text(part))
        home.remove(match)
        press = (CELL * match["x"] + 12, CELL * match["y"] + 12)   # its anchor cell is solid
        steps.append(("drag", press, drop_point(press, (match["x"], match["y"]), (part["x"], part["y"]))))
    if home:
        raise PlanError("the save lacks the level's converter at (%d, %d)" % (home[0]["x"], home[0]["y"]))
    placed = [p for p in save.parts if p["letter"] != "a" and not p["fixed"]]
    for letter in set(p["letter"] for p in placed if "number" in p):
        slots = [i for i, p in enumerate(placed) if p["letter"] == letter]
        mine = sorted((placed[i] for i in slots), key=lambda p: p["number"])
        if [p["number"] for p in mine] != list(range(len(mine))):
            raise PlanError("the %s numbers have gaps; the game numbers new devices 0, 1, 2, ..." % letter)
        for i, part in zip(slots, mine):
            placed[i] = part
    page, belt = 0, {"length": 1, "direction": 0, "period": 10}
    for part in placed:
        if part["letter"] == "b":
            wanted, press = 0, (BIN_X + BELT_DRAG_AREA[0], BELT_DRAG_AREA[1])
        else:
            wanted, button = bin_source(part)
            press = button_point(button)
        if wanted != page:
            steps.append(("page", wanted))
            page = wanted
        for setting in ("length", "direction", "period") if part["letter"] == "b" else ():
            if part[setting] not in BELT[setting]:
                raise PlanError("the parts bin cannot set a belt %s of %d" % (setting, part[setting]))
            if belt[setting] != part[setting]:
                steps.append(("click", button_point(BELT[setting][part[setting]])))
                belt[setting] = part[setting]
        anchor = (press[0] // CELL, press[1] // CELL)
        steps.append(("drag", press, drop_point(press, anchor, (part["x"], part["y"]))))
    return steps


def typed_rows(rows, placeholder):
    """(rows to type after the placeholder, rows the editor then holds)."""
    rows = [row.replace("\t", " " * TAB_SPACES) for row in rows]
    if any(not " " <= ch <= "~" for row in rows for ch in row):
        raise PlanError("the editor's font cannot show every row of the program")
    if rows and rows[0] == placeholder:
        rows = rows[1:]
    return rows, [placeholder] + rows
