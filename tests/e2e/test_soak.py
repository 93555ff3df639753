"""A soak: full-screen, region and window captures in one run of the program, each
followed by a save as BMP or JPG, with the process's resident memory read after each.
Once the first captures have warmed it up, it must stay flat: a picture kept by mistake
after each capture would add a snapshot's size every time.

The e2e tier runs a short version. `scripts/soak.sh` runs the long one (100 full-screen,
50 region and 50 window captures); either writes its curve to build/soak-*.csv."""

from __future__ import annotations

import csv
import os
import time
from pathlib import Path

import pytest

import harness
from harness import SCREEN_SIZE
from mainwin import is_white, same
from target.overlay import minimised, overlay_up, start_target, untitled_windows
from target.pixels import picture, window_pixel
from target.view import expected_view, wait_view
from test_capture_region import ANCHOR, CORNER, drag, outline_shown
from test_capture_window import CHILD, TARGET, framed
from test_save import Saver, wait_file

LONG = os.environ.get("LSG_SOAK") == "long"
# Captures of each kind: full screen, region, window.
COUNTS = {"full": 100, "region": 50, "window": 50} if LONG else {"full": 5, "region": 3,
                                                                   "window": 3}
# Samples before the memory must be flat: the long run's first ten, and fewer in the short
# run, whose allowance is twice as wide so that the allocator's moods cannot fail it.
WARM_UP = 10 if LONG else 3
SNAPSHOT = 54 + SCREEN_SIZE[0] * 3 * SCREEN_SIZE[1]
ALLOWANCE = SNAPSHOT if LONG else 2 * SNAPSHOT


def schedule(counts: dict[str, int]) -> list[str]:
    """The kinds spread evenly over the run, so that every stretch of it has each kind."""
    slots = [((i + 0.5) / n, kind) for kind, n in counts.items() for i in range(n)]
    return [kind for _, kind in sorted(slots)]


def resident_bytes(program: harness.Program) -> int:
    """VmRSS of the Linux process that runs the .exe: the one bearing its name among the
    process Wine was started as and its descendants."""
    name = program.exe.name[:15]  # the kernel keeps 15 characters of a process name

    def status(pid: int) -> dict[str, str]:
        lines = Path(f"/proc/{pid}/status").read_text().splitlines()
        return dict(line.split(":\t", 1) for line in lines if ":\t" in line)

    pending = [program.pid]
    while pending:
        pid = pending.pop()
        try:
            fields = status(pid)
        except OSError:
            continue
        if fields.get("Name") == name:
            return int(fields["VmRSS"].split()[0]) * 1024
        for other in filter(str.isdigit, os.listdir("/proc")):
            try:
                if status(int(other)).get("PPid") == str(pid):
                    pending.append(int(other))
            except OSError:
                continue
    raise harness.HarnessError(f"no process named {name} under pid {program.pid}")


class Captures:
    """The three captures as a user makes them, each waiting until 主窗口 shows the result."""

    def __init__(self, desktop, saver: Saver):
        self.desktop = desktop
        self.main = saver.main
        self.window_picture = picture(TARGET[2], TARGET[3], window_pixel, CHILD)

    # Where the pointer rests for each: it goes there before the view is cleared, so that
    # the last thing before the capture's shortcut is a key that was seen to work.
    rest = {"full": (1000, 10), "region": ANCHOR, "window": (TARGET[0] + 5, TARGET[1] + 5)}

    def full(self):
        self.desktop.key("ctrl+a")
        self.desktop.wait_for(lambda: not is_white(self.main.viewport()),
                              describe="the full-screen picture in the view")

    def region(self):
        before = untitled_windows(self.desktop)
        self.desktop.key("ctrl+z")
        frozen = overlay_up(self.desktop, self.main, before)
        drag(self.desktop)
        outline_shown(self.desktop)
        (ax, ay), (x, y) = ANCHOR, CORNER
        self.desktop.click(ax + 5, y - 10)
        wait_view(self.main, frozen.crop((ax + 1, ay + 1, x - 1, y - 1)),
                  describe="holding the region")

    def window(self):
        inside = self.rest["window"]
        self.desktop.key("ctrl+w")
        minimised(self.desktop, self.main)
        framed(self.desktop, TARGET)
        # The frame blinks, a second on and a second off, and a screenshot on a loaded
        # machine can take longer than that: the click that follows the sight of the frame
        # may land while it is off (on the target window, harmlessly). So the user clicks
        # again, at a steady pace, until the picture arrives.
        want = expected_view(self.window_picture)
        deadline = time.monotonic() + harness.DEFAULT_TIMEOUT
        while time.monotonic() < deadline:
            self.desktop.click(*inside)
            if same(self.main.viewport(), want):
                return
        wait_view(self.main, self.window_picture, describe="holding the window", timeout=1)


@pytest.fixture
def target(launch):
    return start_target(launch, "lsg-e2e-target", TARGET, CHILD)


def test_memory_stays_flat_over_captures_and_saves(desktop, launch, target, app):
    saver = Saver(desktop, app)
    captures = Captures(desktop, saver)
    files = desktop.test_dir() / "files"
    files.mkdir(exist_ok=True)
    label = "long" if LONG else "short"
    out = open(harness.BUILD / f"soak-{label}.csv", "w", newline="")
    writer = csv.writer(out)
    writer.writerow(["cycle", "capture", "saved as", "resident bytes"])
    rows = []
    for cycle, kind in enumerate(schedule(COUNTS), start=1):
        desktop.move(*captures.rest[kind])
        saver.settle()  # the view cleared: the next picture is seen arriving
        getattr(captures, kind)()
        shortcut, ext, magic = ("ctrl+b", "bmp", b"BM") if cycle % 2 else ("ctrl+g", "jpg",
                                                                           b"\xff\xd8")
        path = files / f"{cycle:03d}-{kind}.{ext}"
        saver.save(shortcut, path)
        assert wait_file(desktop, path)[:2] == magic, path
        path.unlink()  # a long run would fill the disk
        rows.append((cycle, kind, ext, resident_bytes(app)))
        writer.writerow(rows[-1])
        out.flush()  # the curve so far, also when a long run is cut short
    out.close()
    flat = [rss for *_, rss in rows[WARM_UP:]]
    spread = max(flat) - min(flat)
    print(f"soak ({label}): {len(rows)} cycles, resident {rows[0][3]} after the first, "
          f"{min(flat)}..{max(flat)} after {WARM_UP} (spread {spread}, allowed {ALLOWANCE})")
    assert spread <= ALLOWANCE, f"resident memory grew by {spread} bytes: {rows}"
    assert app.running()
