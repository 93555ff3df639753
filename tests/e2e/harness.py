"""Drives Windows programs under Wine on a private Xvfb display, as a user would.

One Session per test run: an Xvfb screen, a Wine prefix whose processes all share one
1024x768 virtual desktop (so the desktop's origin is the X root's), and a detached wine
server. Programs are launched with their output in a log file and ended by process id.
Every wait polls with a generous timeout; a timeout fails with a screenshot and the
programs' output, so the failure says what was on the screen instead.
"""

from __future__ import annotations

import fcntl
import io
import os
import re
import shutil
import signal
import subprocess
import time
from dataclasses import dataclass
from pathlib import Path
from typing import Callable

from PIL import Image

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("BUILD_DIR", ROOT / "build"))
SCREEN_SIZE = (1024, 768)
# Generous: the machine has two cores and other builds may be running.
DEFAULT_TIMEOUT = 20.0
POLL_INTERVAL = 0.05


class HarnessError(AssertionError):
    """A wait that timed out or a tool that failed; pytest reports it as a failure."""


@dataclass(frozen=True)
class Geometry:
    """A window's outer rectangle in screen coordinates."""

    x: int
    y: int
    width: int
    height: int

    @property
    def right(self) -> int:
        return self.x + self.width

    @property
    def bottom(self) -> int:
        return self.y + self.height


def program_path(name: str = "lanshanguo.exe") -> Path:
    """A program of the Windows build, LSG_EXE overriding the main program's place."""
    if name == "lanshanguo.exe" and os.environ.get("LSG_EXE"):
        return Path(os.environ["LSG_EXE"])
    return BUILD / "windows" / name


def ensure_prefix(prefix: Path, size=SCREEN_SIZE, dpi: int = 96) -> None:
    subprocess.run(["bash", str(ROOT / "scripts" / "wine-prefix.sh"), "e2e", str(prefix),
                    f"{size[0]}x{size[1]}", str(dpi)], check=True)


def claim_prefix(prefix: Path):
    """A prefix that no other run is using, and the open lock file that keeps it ours.
    Two runs must not share one: the shared desktop lives on the display of whichever
    run started it first, and each run's clean-up ends every process of its prefix."""
    for n in range(16):
        candidate = prefix if n == 0 else prefix.with_name(f"{prefix.name}-{n}")
        candidate.parent.mkdir(parents=True, exist_ok=True)
        lock = open(candidate.with_name(candidate.name + ".session"), "w")
        try:
            fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except BlockingIOError:
            lock.close()
            continue
        return candidate, lock
    raise HarnessError(f"every Wine prefix next to {prefix} is in use")


def wine_env(prefix: Path, display: str) -> dict[str, str]:
    env = dict(os.environ)
    env.update(WINEPREFIX=str(prefix), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
               DISPLAY=display)
    env.setdefault("LANG", "C.UTF-8")
    return env


class Xvfb:
    """A private X screen; Xvfb picks a free display number itself (-displayfd), so runs
    side by side never fight over one."""

    def __init__(self, size=SCREEN_SIZE, log: Path | None = None):
        read_end, write_end = os.pipe()
        out = open(log, "wb") if log else subprocess.DEVNULL
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{size[0]}x{size[1]}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=out, stderr=out, stdin=subprocess.DEVNULL)
        os.close(write_end)
        if log:
            out.close()
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()  # written once the server accepts clients
        if not number:
            self.process.kill()
            raise HarnessError(f"Xvfb did not start (see {log})")
        self.display = f":{number}"

    def stop(self) -> None:
        stop_process(self.process)


def stop_process(process: subprocess.Popen, grace: float = 5.0) -> None:
    if process.poll() is not None:
        return
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class Program:
    """One Windows program started by a Session."""

    def __init__(self, session: Session, exe: Path, args, cwd: Path, log: Path):
        self.session = session
        self.exe = Path(exe)
        self.log = log
        with open(log, "wb") as out:
            self.process = subprocess.Popen(
                ["wine", str(self.exe), *map(str, args)], cwd=cwd, env=session.env,
                stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        self.pid = self.process.pid

    def output(self) -> str:
        try:
            return self.log.read_text(errors="replace")
        except OSError:
            return ""

    def running(self) -> bool:
        return self.process.poll() is None

    def wait_window(self, title: str, timeout: float = DEFAULT_TIMEOUT) -> int:
        """Waits for a visible top-level window with exactly this title; its X id."""
        return self.session.wait_window(title, timeout, program=self)

    def wait_exit(self, timeout: float = DEFAULT_TIMEOUT) -> int:
        """The exit code (8 bits, as Wine passes it on) once the program has ended."""
        self.session.wait_for(lambda: not self.running(), timeout,
                              f"{self.exe.name} to exit (it is still running)")
        return self.process.returncode & 0xFF

    def kill(self) -> None:
        stop_process(self.process)


class Session:
    """The screen, the Wine prefix and the wine server that every program shares. The
    screen and the prefix's desktop are `size`; the prefix's programs see `dpi`."""

    def __init__(self, prefix: Path, artifacts: Path, size=SCREEN_SIZE, dpi: int = 96):
        self.artifacts = artifacts
        self.size = tuple(size)
        self.dpi = dpi
        artifacts.mkdir(parents=True, exist_ok=True)
        self.prefix, self._lock = claim_prefix(prefix)
        self.programs: list[Program] = []
        self.current_test = "session"
        self._shots = 0
        self.xvfb = None
        try:
            self._start(artifacts)
        except BaseException:
            # A half-started session must not leave its screen or server behind.
            self.close()
            raise

    def _start(self, artifacts: Path) -> None:
        ensure_prefix(self.prefix, self.size, self.dpi)
        self.env = wine_env(self.prefix, "")
        self.xvfb = Xvfb(self.size, log=artifacts / "xvfb.log")
        self.display = self.xvfb.display
        self.env = wine_env(self.prefix, self.display)
        # The prefix is ours (claim_prefix): a server still running there is a leftover
        # of an interrupted run, whose desktop may be on a display that is gone.
        for flag in ("-k", "-w"):
            subprocess.run(["wineserver", flag], env=self.env, stderr=subprocess.DEVNULL,
                           timeout=30)
        # A persistent server makes each launch quick. wineserver goes to the background
        # by itself once it accepts clients, so the first program cannot start a second.
        # wineboot then starts the prefix's services and desktop, so that they do not
        # inherit the first program's log (and its start is not slower than the rest).
        for command in (["wineserver", "-p"], ["wine", "wineboot"]):
            result = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    start_new_session=True, timeout=120)
            if result.returncode != 0:
                # wineserver exits 2 when another server holds the prefix's lock.
                raise HarnessError(f"{' '.join(command)} failed with exit code "
                                   f"{result.returncode} for the prefix {self.prefix}")

    def close(self) -> None:
        for program in self.programs:
            program.kill()
        # Ends what the programs left in this prefix (the desktop, services) and the
        # server, and waits for them, before the screen they draw on goes away.
        for flag in ("-k", "-w"):
            subprocess.run(["wineserver", flag], env=self.env, stderr=subprocess.DEVNULL,
                           timeout=30)
        if self.xvfb:
            self.xvfb.stop()
        self._lock.close()

    # --- programs ---------------------------------------------------------------------

    def launch(self, exe: Path, *args, cwd: Path | None = None) -> Program:
        exe = Path(exe)
        if not exe.is_file():
            raise HarnessError(f"{exe} does not exist: build it with "
                               "'cmake --preset windows && cmake --build --preset windows'")
        log = self.test_dir() / f"{exe.stem}-{len(self.programs)}.log"
        program = Program(self, exe, args, cwd or exe.parent, log)
        self.programs.append(program)
        return program

    def end_programs(self) -> None:
        """Ends what the current test started, by process id, and forgets it."""
        for program in self.programs:
            program.kill()
        self.programs.clear()

    # --- waiting ----------------------------------------------------------------------

    def wait_for(self, predicate: Callable[[], object], timeout: float = DEFAULT_TIMEOUT,
                 describe: str | Callable[[], str] = "the condition"):
        """Polls predicate until it returns something true, and returns that. On timeout
        fails, naming what was awaited (describe may be a callable that says what was
        seen instead), a screenshot of the screen and the programs' output."""
        deadline = time.monotonic() + timeout
        while True:
            value = predicate()
            if value:
                return value
            if time.monotonic() > deadline:
                break
            time.sleep(POLL_INTERVAL)
        what = describe() if callable(describe) else describe
        shot = self.save_screenshot("timeout")
        outputs = "".join(f"\n--- output of {p.exe.name} (pid {p.pid}, "
                          f"{'running' if p.running() else f'exit {p.process.returncode}'}) "
                          f"---\n{p.output()}" for p in self.programs)
        raise HarnessError(f"timed out after {timeout:g} s waiting for {what}\n"
                           f"screenshot: {shot}{outputs}")

    def wait_window(self, title: str, timeout: float = DEFAULT_TIMEOUT,
                    program: Program | None = None) -> int:
        pattern = "^" + re.escape(title) + "$"

        def found():
            if program is not None and not program.running():
                raise HarnessError(f"{program.exe.name} exited with "
                                   f"{program.process.returncode} before showing "
                                   f"'{title}'\n--- output ---\n{program.output()}")
            windows = self.find_windows(pattern)
            return windows[-1] if windows else None

        return self.wait_for(found, timeout, lambda: f"a visible window titled '{title}' "
                             f"(visible titles: {self.visible_titles()})")

    # --- looking at the screen --------------------------------------------------------

    def find_windows(self, name_regex: str) -> list[int]:
        """Visible windows whose title matches (POSIX extended regex). Every top-level
        window, hidden ones too, is an X child of the Wine desktop, hence --onlyvisible."""
        result = self.xtool(["xdotool", "search", "--onlyvisible", "--name", name_regex],
                            check=False)
        return [int(line) for line in result.stdout.split()]

    def visible_titles(self) -> list[str]:
        titles = []
        for window in self.find_windows("."):
            result = self.xtool(["xdotool", "getwindowname", str(window)], check=False)
            titles.append(result.stdout.strip())
        return titles

    def window_geometry(self, window: int | str) -> Geometry:
        """The outer rectangle of a window (an X id or an exact title) on the screen.
        xwininfo, because xdotool's geometry reports doubled positions under Wine's desktop."""
        if isinstance(window, str):
            window = self.wait_window(window)
        text = self.xtool(["xwininfo", "-id", str(window)]).stdout

        def field(name):
            match = re.search(rf"^\s*{name}:\s*(-?\d+)", text, re.MULTILINE)
            if not match:
                raise HarnessError(f"xwininfo gave no '{name}':\n{text}")
            return int(match.group(1))

        return Geometry(field("Absolute upper-left X"), field("Absolute upper-left Y"),
                        field("Width"), field("Height"))

    def screenshot(self) -> Image.Image:
        """The whole screen (the X root, which is the Wine desktop) as an RGB picture."""
        data = self.xtool(["import", "-window", "root", "png:-"], binary=True).stdout
        return Image.open(io.BytesIO(data)).convert("RGB")

    def save_screenshot(self, label: str) -> Path | str:
        self._shots += 1
        path = self.test_dir() / f"{self._shots:02d}-{label}.png"
        try:
            self.screenshot().save(path)
        except Exception as error:  # a failure report must not hide the first failure
            return f"(none: {error})"
        return path

    # --- acting as the user -----------------------------------------------------------

    def key(self, *keys: str) -> None:
        """Presses keys in order, xdotool names: "Escape", "ctrl+a", "alt+y", "Return"."""
        self.xtool(["xdotool", "key", "--delay", "30", *keys])

    def type_text(self, text: str) -> None:
        self.xtool(["xdotool", "type", "--delay", "20", text])

    def move(self, x: int, y: int) -> None:
        self.xtool(["xdotool", "mousemove", str(x), str(y)])

    def click(self, x: int, y: int, button: int = 1) -> None:
        """Clicks at a screen position. The pointer moves there first, so the window
        under it sees a move at the right place before the press."""
        self.xtool(["xdotool", "mousemove", str(x), str(y), "click", str(button)])

    def drag(self, x0: int, y0: int, x1: int, y1: int, button: int = 1, steps: int = 4) -> None:
        """Presses at (x0, y0), moves in a few steps to (x1, y1) and releases there. The
        program never captures the mouse: a release outside its window is lost."""
        command = ["xdotool", "mousemove", str(x0), str(y0), "mousedown", str(button)]
        for i in range(1, steps + 1):
            command += ["mousemove", str(x0 + (x1 - x0) * i // steps),
                        str(y0 + (y1 - y0) * i // steps)]
        command += ["mouseup", str(button)]
        self.xtool(command)

    # --- plumbing ---------------------------------------------------------------------

    def test_dir(self) -> Path:
        safe = re.sub(r"[^\w.-]+", "_", self.current_test)
        path = self.artifacts / safe
        path.mkdir(parents=True, exist_ok=True)
        return path

    def xtool(self, command: list[str], check: bool = True, binary: bool = False):
        if shutil.which(command[0]) is None:
            raise HarnessError(f"{command[0]} is not installed: run scripts/setup.sh")
        result = subprocess.run(command, env=self.env, capture_output=True, text=not binary,
                                timeout=30)
        if check and result.returncode != 0:
            raise HarnessError(f"{' '.join(command)} failed ({result.returncode}): "
                               f"{result.stderr!r}")
        return result


def own_session(name: str, size, dpi: int = 96):
    """A module's own screen and prefix, for tests that need another screen size or DPI.
    A test module overrides the `session` fixture with it, and the fixtures of
    conftest.py (desktop, launch, app) then use it:

        @pytest.fixture(scope="module")
        def session():
            yield from harness.own_session("e2e-144dpi", (1600, 1200), dpi=144)
    """
    s = Session(BUILD / "wine" / name, BUILD / name, size, dpi)
    try:
        yield s
    finally:
        s.close()
