"""A private X server, the game running in it as our own child, and the
player's hands: real pointer and keyboard events through XTEST (xdotool),
and screenshots of what the window shows."""

import ctypes
import os
import select
import signal
import subprocess
import time

from pictures import parse_ppm
from layout import SCREEN_W, SCREEN_H

POLL_SECONDS = 0.1
XDOTOOL_TIMEOUT = 30


class DriverError(Exception):
    """The game did not do what the journey expected."""


def _die_with_parent():
    # Our children must not outlive the driver, even when it is killed.
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def _stop(process, grace_seconds=3.0):
    """Ends a child of ours and reaps it; returns its exit status."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(grace_seconds)
        except subprocess.TimeoutExpired:
            process.kill()
    return process.wait()


class XServer:
    """Xvfb on a display number it picks itself, so tests never collide."""

    def __init__(self, log_path):
        self.process = None
        self.display = None
        self._log = open(log_path, "wb")
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=self._log, stderr=self._log,
                preexec_fn=_die_with_parent)
            os.close(write_end)
            write_end = None
            self.display = ":" + self._read_display(read_end)
        except BaseException:
            self.close()
            raise
        finally:
            if write_end is not None:
                os.close(write_end)
            os.close(read_end)

    def _read_display(self, fd, timeout=20.0):
        deadline = time.monotonic() + timeout
        text = b""
        while not text.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or self.process.poll() is not None:
                raise DriverError("Xvfb did not start (see its log)")
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 64)
                if not chunk:
                    raise DriverError("Xvfb did not report its display (see its log)")
                text += chunk
        return text.decode().strip()

    def close(self):
        if self.process is not None:
            _stop(self.process)
            self.process = None
        self._log.close()


class Game:
    """The game started in its working folder on the given display."""

    def __init__(self, executable, game_dir, display, log_path, extra_env=None):
        env = dict(os.environ)
        env["DISPLAY"] = display
        # The suite runs headless; this test wants the real window.
        env["SDL_VIDEODRIVER"] = "x11"
        env.pop("XAUTHORITY", None)
        env.update(extra_env or {})
        self.log_path = log_path
        self._log = open(log_path, "wb")
        self.process = subprocess.Popen([executable], cwd=game_dir, env=env, stdin=subprocess.DEVNULL,
                                        stdout=self._log, stderr=self._log, preexec_fn=_die_with_parent)

    def wait(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise DriverError("the game did not end within %.0f s" % timeout) from None

    def output(self):
        self._log.flush()
        with open(self.log_path, "rb") as log:
            return log.read().decode(errors="replace")

    def close(self):
        if self.process is not None:
            _stop(self.process)
        self._log.close()


class Screen:
    """What the player sees and does on one display. Every screenshot is
    kept in `shot_dir`, numbered, so a failure can be looked at."""

    def __init__(self, display, shot_dir, game, first_number=0):
        self.display = display
        self.shot_dir = shot_dir
        self.game = game
        self.env = dict(os.environ, DISPLAY=display)
        self.env.pop("XAUTHORITY", None)
        self._count = first_number
        self.last = None

    def grab(self, tries=3):
        for attempt in range(tries):
            result = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
            if result.returncode == 0:
                self.last = parse_ppm(result.stdout)
                return self.last
            time.sleep(POLL_SECONDS)   # e.g. the window was being mapped
        raise DriverError("no screenshot: %s" % result.stderr.decode(errors="replace"))

    def keep(self, name, shot=None):
        """Writes the shot (the last one by default) as NN-name.png."""
        shot = shot or self.last or self.grab()
        self._count += 1
        path = os.path.join(self.shot_dir, "%02d-%s.png" % (self._count, name))
        shot.write_png(path)
        return path

    def wait_for(self, name, seen, timeout=15.0):
        """Polls screenshots until `seen(shot)` is true; keeps that shot.
        Fails at once if the game ends, and on timeout keeps the last shot."""
        deadline = time.monotonic() + timeout
        while True:
            self._check_game_running(name)
            shot = self.grab()
            if seen(shot):
                self.keep(name, shot)
                return shot
            if time.monotonic() > deadline:
                path = self.keep(name + "-TIMEOUT", shot)
                raise DriverError("timed out after %.0f s waiting for: %s (last screenshot %s)" %
                                  (timeout, name, path))
            time.sleep(POLL_SECONDS)

    def _check_game_running(self, waiting_for):
        status = self.game.process.poll() if self.game else None
        if status is not None:
            if self.last is not None:
                self.keep(waiting_for + "-GAME-ENDED")
            raise DriverError("the game ended with status %d while waiting for: %s\n%s" %
                              (status, waiting_for, self.game.output()))

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, timeout=XDOTOOL_TIMEOUT)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", x, y, "sleep", "0.05", "click", button)

    def double_click(self, x, y):
        self.xdotool("mousemove", x, y, "sleep", "0.05", "click", "--repeat", 2, "--delay", 80, 1)

    def drag(self, from_xy, to_xy):
        """Press, move there in a few steps as a hand would, release."""
        (x0, y0), (x1, y1) = from_xy, to_xy
        steps = ["mousemove", x0, y0, "sleep", "0.05", "mousedown", 1, "sleep", "0.05"]
        for i in (1, 2, 3):
            steps += ["mousemove", x0 + (x1 - x0) * i // 4, y0 + (y1 - y0) * i // 4, "sleep", "0.03"]
        steps += ["mousemove", x1, y1, "sleep", "0.05", "mouseup", 1, "sleep", "0.05"]
        self.xdotool(*steps)

    def key(self, *names):
        self.xdotool("key", "--delay", 60, *names)

    def type_text(self, text, delay_ms=15):
        self.xdotool("type", "--delay", delay_ms, "--", text)
