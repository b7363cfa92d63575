#!/usr/bin/env python3
"""Sets each campaign level's par from its solutions.

Par on each metric is the best of the level's solutions on that metric:
tests/data/solutions/NAME.sav and, where they exist, NAME.steps.sav,
NAME.parts.sav and NAME.code.sav, each measured by gearloft-sim --metrics.
Prints a table of every level's par as its file has it and as its solutions
measure; with --write, puts the measured numbers into the level files.

Usage: tools/par.py [--build BUILD_DIR] [--write] [LEVEL_FILE...]
"""
import argparse
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
GAME = ROOT / "game"
SOLUTIONS = ROOT / "tests" / "data" / "solutions"
SUFFIXES = ("", ".steps", ".parts", ".code")
# As many frames as a level left alone must not win in (tests/campaign_test.cpp).
MAX_FRAMES = 20000
PAR_LINE = re.compile(r"^par, *(-?\d+), *(-?\d+)$", re.M)
PAR_CODE_LINE = re.compile(r"^par_code, *(-?\d+), *0$", re.M)
METRICS = re.compile(r"^steps=(\d+) parts=(\d+) code=(\d+)$", re.M)


def measure(sim, save):
    """The (steps, parts, code) of a winning save; exits when it does not win."""
    run = subprocess.run([str(sim), str(save), "--max-frames", str(MAX_FRAMES), "--metrics"],
                         cwd=GAME, capture_output=True, text=True, check=False)
    found = METRICS.search(run.stdout)
    if run.returncode != 0 or not found:
        sys.exit(f"{save.name} does not win:\n{run.stdout}{run.stderr}")
    return tuple(int(n) for n in found.groups())


def file_par(text):
    steps_parts = PAR_LINE.search(text)
    code = PAR_CODE_LINE.search(text)
    if not steps_parts or not code:
        return None
    return (int(steps_parts[1]), int(steps_parts[2]), int(code[1]))


def with_par(text, par):
    text = PAR_LINE.sub(f"par, {par[0]}, {par[1]}", text, count=1)
    return PAR_CODE_LINE.sub(f"par_code, {par[2]}, 0", text, count=1)


def main():
    options = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    options.add_argument("--build", default=str(ROOT / "build"))
    options.add_argument("--write", action="store_true")
    options.add_argument("levels", nargs="*")
    args = options.parse_args()
    sim = pathlib.Path(args.build).resolve() / "tools" / "sim" / "gearloft-sim"
    levels = [GAME / "levels" / pathlib.Path(name).name for name in args.levels] or sorted(
        (GAME / "levels").glob("*.lvl"))
    print(f"{'level':28} {'in file':>16} {'solutions':>16}")
    for level in levels:
        saves = [SOLUTIONS / f"{level.stem}{suffix}.sav" for suffix in SUFFIXES]
        measured = [measure(sim, save) for save in saves if save.exists()]
        if not measured:
            sys.exit(f"{level.name} has no solution")
        best = tuple(min(metric) for metric in zip(*measured))
        text = level.read_text()
        old = file_par(text)
        if old is None:
            sys.exit(f"{level.name} has no par items to set")
        shown = lambda par: "/".join(str(n) for n in par)
        print(f"{level.name:28} {shown(old):>16} {shown(best):>16}{'' if old == best else '  *'}")
        if args.write and old != best:
            level.write_text(with_par(text, best))


if __name__ == "__main__":
    main()
