#!/usr/bin/env python3
"""A player's whole journey through Gearloft, in a real window on a private
X server, driven only by pointer and keyboard events:

  the level list -> the first level -> building its saved solution by hand
  (parts bin, drags, the code editor) -> a run started step by step (S, a
  few more S, then Space) that wins -> saving through the chooser ->
  leaving to the list, which marks the level solved -> loading that save
  from the list -> a second win, fast-forwarded (F up to the fastest
  speed), whose card writes the run's GIF (G), the same film gearloft-gif
  makes of the save; then C opens the console of what the program printed
  and closes it again -> loading a hostile save whose program
  raises a 5-million-character error: the error card shows it shortened, and
  the game goes on -> Escape ends the game with status 0;
  and in a second session a broken save stops the game with "Error!" and
  exit status 1.

The levels and the solution come from --levels and --solutions (the
solution of level NAME.lvl is NAME.sav); by default the journey plays
tests/data/e2e, a small level that places every kind of device, from every
page of the bin, and a harder level listed after it although its name comes
first. Exit status: 0 passed, 1 failed, 77 no solution for the first level
(skipped)."""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

import looks as L
import plan as P
from xsession import DriverError, Game, Screen, XServer
from layout import (SAVE_BUTTON, LOAD_BUTTON, INIT_BOX_TOP, CYCLE_BOX_TOP, EDITOR_ROW_H, CHOOSER_ROW_H,
                    CARD_CLICK, LIST_TOP, LIST_ROW_H, LIST_ROWS, CHOOSER_LIST_X, CHOOSER_LIST_Y)

SKIPPED = 77
HERE = os.path.dirname(os.path.abspath(__file__))
# For a game built with the sanitizers: Xlib's own leaks are no finding, and
# a leak report ends the game with 23, never with a status the journey expects.
LEAK_OPTIONS = {"LSAN_OPTIONS": "suppressions=%s:print_suppressions=0:exitcode=23" %
                os.path.join(HERE, "lsan.supp")}
SAVE_NAME = "e2e-journey"
BROKEN_SAVE = "broken.sav"
HOSTILE_SAVE = "hostile.sav"
HOSTILE_PROGRAM = 'error(string.rep("E", 5e6), 0)'

STEPS_BY_HAND = 3

class Skip(Exception):
    pass


class Journey:
    def __init__(self, args, scratch):
        self.args = args
        self.scratch = scratch
        self.game_dir = os.path.join(scratch, "game")
        self.shot_dir = os.path.join(scratch, "shots")
        self.log_dir = os.path.join(scratch, "logs")
        for folder in (self.shot_dir, self.log_dir, os.path.join(self.game_dir, "levels"),
                       os.path.join(self.game_dir, "saves")):
            os.makedirs(folder)
        self.xserver = None
        self.game = None
        self.screen = None
        self.sessions = 0

    # -- setting up ------------------------------------------------------

    def prepare(self):
        """The game's folder in scratch (its pictures and font, the levels,
        an empty saves folder); the first level, its solution and the plan."""
        art = self.args.art
        shutil.copytree(os.path.join(art, "img"), os.path.join(self.game_dir, "img"))
        shutil.copy(os.path.join(art, "dina.fon"), self.game_dir)
        levels = os.path.join(self.game_dir, "levels")
        for name in os.listdir(self.args.levels):
            if name.endswith(".lvl"):
                shutil.copy(os.path.join(self.args.levels, name), levels)
        solutions = self.args.solutions
        self.shown = P.shown_levels(self.args.sim, self.game_dir)
        if not self.shown:
            raise DriverError("no level to play in " + levels)
        self.level_name, description = self.shown[0]
        stem = os.path.splitext(self.level_name)[0]
        solution_path = os.path.join(solutions, stem + ".sav")
        if not os.path.isfile(solution_path):
            saves = sorted(n for n in os.listdir(solutions) if n.endswith(".sav")) \
                if os.path.isdir(solutions) else []
            if not saves:
                raise Skip("no solutions in %s yet" % solutions)
            raise DriverError("no solution %s for the first level %s among %s" %
                              (solution_path, self.level_name, saves))
        self.solution_path = solution_path
        self.solution = P.describe(self.args.sim, self.game_dir, solution_path)
        if self.solution.level != self.level_name:
            raise DriverError("%s names level %s, not %s" % (solution_path, self.solution.level, self.level_name))
        level = P.describe(self.args.sim, self.game_dir, "--level", self.level_name)
        self.steps = P.building_steps(level, self.solution)
        self.init_typed, self.init_expected = P.typed_rows(self.solution.init_rows, P.PLACEHOLDERS[0])
        self.cycle_typed, self.cycle_expected = P.typed_rows(self.solution.cycle_rows, P.PLACEHOLDERS[1])
        self.win_timeout = self.predict_win_time()
        self.looks = L.Looks(os.path.join(self.game_dir, "img"))
        print("first level: %s (%s), solution %s, %d building steps" %
              (self.level_name, description, solution_path, len(self.steps)))

    def predict_win_time(self):
        """Seconds to wait for the win screen: the headless runner counts the
        steps the solution needs; a frame takes at least 22 ms on screen."""
        summary = P.sim(self.args.sim, self.game_dir, self.solution_path).strip().splitlines()[-1]
        print("gearloft-sim: %s" % summary)
        return 30.0 + int(summary.split()[0].split("=")[1]) * 0.1

    def start_game(self):
        self.sessions += 1
        if self.xserver is None:
            self.xserver = XServer(os.path.join(self.log_dir, "xvfb.log"))
            print("X server on display %s" % self.xserver.display)
        self.game = Game(self.args.game, self.game_dir, self.xserver.display,
                         os.path.join(self.log_dir, "game-%d.log" % self.sessions), LEAK_OPTIONS)
        # Each session's screenshots are numbered from its own hundred.
        self.screen = Screen(self.xserver.display, self.shot_dir, self.game, 100 * (self.sessions - 1))
        return self.screen

    def close(self):
        if self.game is not None:
            self.game.close()
            self.game = None
        if self.xserver is not None:
            self.xserver.close()
            self.xserver = None

    # -- small moves -------------------------------------------------------

    def expect(self, condition, message):
        if not condition:
            raise DriverError("%s (screenshot %s)" % (message, self.screen.keep("FAILED")))

    def wait_construction(self, name):
        return self.screen.wait_for(name, self.looks.construction)

    def dismiss_card(self, card, name):
        """Clicks a message card away and waits until it is gone."""
        self.screen.click(*CARD_CLICK)
        return self.screen.wait_for(name, lambda shot: not card(shot) and self.looks.construction(shot))

    def leave_level(self):
        s = self.screen
        s.key("Escape")
        s.wait_for("quit question", self.looks.quit)
        s.key("y")
        return s.wait_for("level list again", self.looks.level_list)

    def open_chooser_and_pick(self, file_name):
        """Load button, then a double-click on the file in the chooser's list."""
        s = self.screen
        s.click(*LOAD_BUTTON)
        s.wait_for("open chooser", self.looks.chooser)
        entries = [".."] + sorted(n for n in os.listdir(os.path.join(self.game_dir, "saves"))
                                  if n.endswith(".sav") and
                                  os.path.isfile(os.path.join(self.game_dir, "saves", n)))
        row = entries.index(file_name)
        s.double_click(CHOOSER_LIST_X + 40, CHOOSER_LIST_Y + CHOOSER_ROW_H * row + CHOOSER_ROW_H // 2)

    # -- the journey ---------------------------------------------------------

    def run(self):
        s = self.start_game()
        t0 = time.monotonic()
        shot = s.wait_for("level list", self.looks.level_list)
        self.check_list(shot)
        self.expect(not any(L.solved_rows(shot)), "a level is marked solved before any was played")
        s.click(300, LIST_TOP + LIST_ROW_H // 2)
        self.wait_construction("first level open")

        self.build()
        self.type_program()
        self.step_then_run("first win")

        self.save_through_chooser()
        solved = L.solved_rows(self.leave_level())
        self.expect(solved[0] and not any(solved[1:]), "the list marks rows %s solved, not the first" %
                    [i for i, row in enumerate(solved) if row])

        self.open_chooser_and_pick(SAVE_NAME + ".sav")
        self.wait_construction("save loaded")
        self.run_to_win("second win", fast_forward=True, film=True)
        self.open_console()

        self.leave_level()
        self.hostile_save()
        s.key("Escape")
        status = self.game.wait(15)
        self.expect(status == 0, "the game ended with status %s after Escape on the list:\n%s" %
                    (status, self.game.output()))
        print("journey done in %.1f s" % (time.monotonic() - t0))

        self.broken_save()

    def check_list(self, shot):
        rows = L.list_rows_with_text(shot)
        n = min(len(self.shown), LIST_ROWS)
        self.expect(all(rows[:n]), "level list rows without text: %s" %
                    [i for i in range(n) if not rows[i]])
        self.expect(not any(rows[n:]), "text below the %d listed levels" % n)

    def build(self):
        s = self.screen
        for what, *where in self.steps:
            if what == "page":
                s.key(str(where[0] + 1))
            elif what == "click":
                s.click(*where[0])
            else:
                s.drag(*where)
        self.wait_construction("machine built")

    def type_program(self):
        s = self.screen
        s.key("Tab")
        s.wait_for("editor", self.looks.editing)
        for top, rows in ((INIT_BOX_TOP, self.init_typed), (CYCLE_BOX_TOP, self.cycle_typed)):
            if not rows:
                continue
            # The first click into the untouched box puts the caret on a
            # fresh line below the placeholder comment.
            s.click(30, top + EDITOR_ROW_H // 2)
            s.type_text("\n".join(rows))
        s.key("Escape")  # the rows typed are checked in the save
        self.wait_construction("back from the editor")

    def step_then_run(self, name):
        """S starts a run that stands still; each S shows the next step;
        Space then runs on to the win."""
        s = self.screen
        s.key("s")
        shot = s.wait_for("paused run", self.looks.paused)
        for i in range(STEPS_BY_HAND):
            before = self.looks.step_number(shot)
            s.key("s")
            shot = s.wait_for("step %d by hand" % (i + 1),
                              lambda shot: self.looks.paused(shot) and self.looks.step_number(shot) != before)
        time.sleep(0.5)
        self.expect(self.looks.step_number(s.grab()) == self.looks.step_number(shot),
                    "the paused run went on by itself")
        self.run_to_win(name)

    def run_to_win(self, name, fast_forward=False, film=False):
        s = self.screen
        s.key("space")
        if fast_forward:
            s.key("f", "f", "f")  # 4x, 16x, as fast as possible
        started = time.monotonic()
        shot = s.wait_for(name, lambda shot: self.looks.win(shot) or self.looks.error(shot),
                          timeout=self.win_timeout)
        self.expect(not self.looks.error(shot), "the program stopped with an error instead of winning")
        self.expect(self.looks.speed_shown(shot) == fast_forward,
                    "the panel under the win card %s the speed" % ("lacks" if fast_forward else "shows"))
        print("%s after %.1f s" % (name, time.monotonic() - started))
        if film:
            self.film_from_win_card(name)
        self.dismiss_card(self.looks.win, name + " dismissed")

    def film_from_win_card(self, name):
        """G on the win card writes the run's GIF into the saves folder and
        the status line says so; gearloft-gif films the loaded save to the
        same bytes."""
        s = self.screen
        saves = os.path.join(self.game_dir, "saves")
        gifs = lambda: [n for n in os.listdir(saves) if n.endswith(".gif")]
        s.key("g")
        s.wait_for(name + " GIF written", lambda shot: gifs(), timeout=self.win_timeout)
        shot = s.wait_for(name + " GIF news", lambda shot: self.looks.win(shot) and self.looks.news_while_running(shot))
        self.expect(len(gifs()) == 1 and gifs()[0].startswith(os.path.splitext(self.level_name)[0] + "-"),
                    "the saves folder holds %s" % gifs())
        made = os.path.join(self.scratch, "gearloft-gif.gif")
        result = subprocess.run([self.args.gif, os.path.join("saves", SAVE_NAME + ".sav"), made], cwd=self.game_dir,
                                capture_output=True, timeout=300, env=dict(os.environ, **LEAK_OPTIONS))
        self.expect(result.returncode == 0, "gearloft-gif: status %d: %s" % (result.returncode, result.stderr))
        with open(os.path.join(saves, gifs()[0]), "rb") as game_gif, open(made, "rb") as tool_gif:
            self.expect(game_gif.read() == tool_gif.read(), "the game's GIF differs from gearloft-gif's")

    def open_console(self):
        s = self.screen
        s.key("c")
        s.wait_for("console open", lambda shot: self.looks.console(shot) and self.looks.construction(shot))
        s.key("c")
        s.wait_for("console closed", lambda shot: not self.looks.console(shot) and self.looks.construction(shot))

    def save_through_chooser(self):
        s = self.screen
        path = os.path.join(self.game_dir, "saves", SAVE_NAME + ".sav")
        self.expect(not os.path.exists(path), "the save name is taken already")
        s.click(*SAVE_BUTTON)
        s.wait_for("save chooser", self.looks.chooser)
        s.type_text(SAVE_NAME)  # replaces the name the chooser proposes
        s.key("Return")
        self.wait_construction("saved")
        self.expect(self.looks.status_news(s.last), "the status line does not say where the save went")
        self.check_saved(path)

    def check_saved(self, path):
        deadline = time.monotonic() + 10
        while not os.path.isfile(path) and time.monotonic() < deadline:
            time.sleep(0.1)
        self.expect(os.path.isfile(path), "no save written at " + path)
        saved = P.describe(self.args.sim, self.game_dir, path)
        self.expect(saved.level == self.level_name, "the save names level %r" % saved.level)
        got, want = (sorted(map(P.part_text, d.parts)) for d in (saved, self.solution))
        self.expect(got == want, "the devices built differ from the solution:\n"
                    "  built:    %s\n  solution: %s" % (got, want))
        for label, got_rows, want_rows in (("initialization", saved.init_rows, self.init_expected),
                                           ("every-cycle", saved.cycle_rows, self.cycle_expected)):
            self.expect(got_rows == want_rows, "the typed %s code differs:\n  typed:    %r\n  expected: %r" %
                        (label, got_rows, want_rows))

    def hostile_save(self):
        """A shared save whose program fails with a huge message: the error
        card shows it cut to fit, a click dismisses it, and the level stays
        open and playable."""
        with open(os.path.join(self.game_dir, "saves", HOSTILE_SAVE), "w") as f:
            f.write("%s\nCODE\n0\n1\n%s\n" % (self.level_name, HOSTILE_PROGRAM))
        s = self.screen
        self.open_chooser_and_pick(HOSTILE_SAVE)
        self.wait_construction("hostile save loaded")
        s.key("space")
        shot = s.wait_for("hostile error shown", self.looks.error)
        self.expect(L.error_text_shown(shot), "the error card shows no message")
        self.dismiss_card(self.looks.error, "hostile error dismissed")
        self.leave_level()

    def broken_save(self):
        """A save with an invalid device record: the game says so and ends
        with status 1."""
        with open(os.path.join(self.game_dir, "saves", BROKEN_SAVE), "w") as f:
            f.write("%s\nz, 1, 2\nCODE\n0\n0\n" % self.level_name)
        s = self.start_game()
        s.wait_for("level list (broken save)", self.looks.level_list)
        self.open_chooser_and_pick(BROKEN_SAVE)
        s.wait_for("invalid record message", self.looks.fatal_box)
        s.key("Return")
        status = self.game.wait(15)
        output = self.game.output()
        self.expect(status == 1, "the game ended with status %s after a broken save:\n%s" % (status, output))
        self.expect("Error!" in output and "Invalid device type!" in output,
                    "the game did not say why it stopped: %r" % output)


def parse_args(argv):
    repo = os.path.dirname(os.path.dirname(HERE))
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--game", default=os.path.join(repo, "build", "gearloft"), help="the game's executable")
    p.add_argument("--art", default=os.path.join(repo, "game"), help="folder holding img/ and dina.fon")
    p.add_argument("--levels", default=os.path.join(repo, "tests", "data", "e2e", "levels"),
                   help="folder of level files (default: the journey's own levels)")
    p.add_argument("--solutions", default=os.path.join(repo, "tests", "data", "e2e", "solutions"),
                   help="folder of solution saves, NAME.sav for level NAME.lvl")
    p.add_argument("--sim", default=os.path.join(repo, "build", "tools", "sim", "gearloft-sim"),
                   help="gearloft-sim, which reads the levels and saves for the journey")
    p.add_argument("--gif", default=os.path.join(repo, "build", "tools", "gif", "gearloft-gif"),
                   help="gearloft-gif, whose film of the save the game's must equal")
    p.add_argument("--scratch", default=tempfile.gettempdir(), help="where the scratch folder is made")
    p.add_argument("--keep", action="store_true", help="keep the scratch folder after a pass")
    args = p.parse_args(argv)
    # The game and the runner work in the scratch folder.
    for name in ("game", "art", "levels", "solutions", "sim", "gif", "scratch"):
        if getattr(args, name):
            setattr(args, name, os.path.abspath(getattr(args, name)))
    return args


def main(argv):
    args = parse_args(argv)
    # A terminated driver still cleans up its X server and game.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))
    os.makedirs(args.scratch, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix="gearloft-e2e-", dir=args.scratch)
    journey = Journey(args, scratch)
    started = time.monotonic()
    try:
        journey.prepare()
        journey.run()
    except Skip as skip:
        print("SKIPPED: %s" % skip)
        shutil.rmtree(scratch, ignore_errors=True)
        return SKIPPED
    except (DriverError, P.PlanError, AssertionError, SystemExit) as failure:
        print("FAILED: %s" % failure)
        print("screenshots and logs kept in %s" % scratch)
        return 1
    except BaseException:
        traceback.print_exc()
        print("FAILED; screenshots and logs kept in %s" % scratch)
        return 1
    finally:
        journey.close()
    print("PASSED in %.1f s" % (time.monotonic() - started))
    if args.keep:
        print("scratch kept in %s" % scratch)
    else:
        shutil.rmtree(scratch, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
