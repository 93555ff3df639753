"""A save cut short: the program killed at moments spread over a save of a large picture
over an existing file. The target is always either the old file, byte for byte, or the
whole new one; what a killed save leaves beside it says what it is, and the next save
into that folder removes those leftovers and nothing else.

On its own 3840x2160 screen, so that a full-screen capture is a 24.9 MB BMP file and the
save takes long enough to be cut at many places."""

from __future__ import annotations

import os
import re
import signal
import struct
import time
from pathlib import Path

import pytest

import harness
from test_save import DIALOG, files, windows_path  # noqa: F401 (files is a fixture)

SIZE = (3840, 2160)
BMP_SIZE = 54 + SIZE[0] * 3 * SIZE[1]
KILLS = 20
PARTIAL = re.compile(r"~蓝杉果截图-未完成的保存-[0-9a-f]{8}-[0-9a-f]{4}\.tmp")
PARTIAL_PREFIX = "~蓝杉果截图-未完成的保存-"


@pytest.fixture(scope="module")
def session():
    yield from harness.own_session("e2e-4k", SIZE)


class Run:
    """One program started for one save over `target`."""

    def __init__(self, desktop, launch, target: Path):
        self.desktop = desktop
        self.target = target
        self.program = launch(harness.program_path())
        self.window = self.program.wait_window("蓝杉果高级屏幕截图软件")

    def dialogs(self) -> list[int]:
        return self.desktop.find_windows(f"^{DIALOG}$")

    def start_save(self) -> None:
        """A full-screen capture, then save as BMP over the target up to the last answer
        of the overwrite question; the save starts when that key is pressed."""
        # A click on the picture first: the keys go to the window that has the focus, and
        # a window that has just appeared may not have it yet.
        outer = self.desktop.window_geometry(self.window)
        self.desktop.click(outer.x + outer.width // 2, outer.y + outer.height // 2)
        # The capture runs to its end in one handler; Ctrl+B waits in the queue behind it.
        self.desktop.key("ctrl+a", "ctrl+b")
        dialog = self.desktop.wait_for(lambda: (self.dialogs() or [None])[0],
                                       describe="the save dialog after the capture")
        self.desktop.key("End", "shift+Home")
        # Typed faster than the harness types: twenty-two saves add up.
        self.desktop.xtool(["xdotool", "type", "--delay", "5", windows_path(self.target)])
        self.desktop.key("Return")
        self.desktop.wait_for(lambda: [w for w in self.dialogs() if w != dialog],
                              describe="the overwrite question")
        self.desktop.key("alt+y")

    def kill(self) -> None:
        os.kill(self.program.pid, signal.SIGKILL)
        self.program.process.wait(30)


def partials(folder: Path) -> set[str]:
    return {name for name in os.listdir(folder) if name.startswith(PARTIAL_PREFIX)}


def wait_new_partial(folder: Path, before: set[str], timeout: float = 30.0) -> float:
    """The moment a new partial save appears in `folder`, polled closely."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if partials(folder) - before:
            return time.monotonic()
        time.sleep(0.0005)
    raise harness.HarnessError(f"no partial save appeared in {folder}")


def is_whole_bmp(data: bytes) -> bool:
    return (len(data) == BMP_SIZE and data[:2] == b"BM"
            and struct.unpack_from("<I", data, 2)[0] == BMP_SIZE
            and struct.unpack_from("<iiHH", data, 18) == (*SIZE, 1, 24))


def test_a_save_killed_at_any_moment_leaves_the_old_file_or_the_whole_new_one(
        desktop, launch, files):
    target = files / "screen.bmp"
    old = bytes(range(251)) * 40000  # 10 MB, nothing like a BMP
    target.write_bytes(old)
    # Files that are not leftovers of this program's saves, and one that is, elsewhere.
    others = ["~蓝杉果截图-未完成的保存-0000abcd-0001.tmp.bak",
              "~蓝杉果截图-未完成的保存-0000ABCD-0001.tmp", "其他程序.tmp"]
    for name in others:
        (files / name).write_bytes(b"not ours")
    elsewhere = files / "elsewhere"
    elsewhere.mkdir()
    (elsewhere / "~蓝杉果截图-未完成的保存-0000abcd-0001.tmp").write_bytes(b"another folder")

    # A whole save first, to see how long its writing takes and what the new file is.
    run = Run(desktop, launch, target)
    before, old_stat = partials(files), target.stat()
    run.start_save()
    began = wait_new_partial(files, before)
    desktop.wait_for(lambda: (lambda s: (s.st_ino, s.st_size) != (old_stat.st_ino,
                                                                  old_stat.st_size))(target.stat()),
                     describe=f"{target} to be replaced")
    span = time.monotonic() - began
    new = target.read_bytes()
    assert is_whole_bmp(new)
    run.kill()

    outcomes = []
    left = set()
    # From late to early, so that the last kill leaves a partial save for the clean-up.
    for i in reversed(range(KILLS)):
        target.write_bytes(old)
        run = Run(desktop, launch, target)
        before = partials(files)
        run.start_save()
        # From the first byte written to somewhat past the moment the file was replaced.
        moment = wait_new_partial(files, before) + 1.25 * span * i / (KILLS - 1)
        # The save removed what the kill before left, before it made its own.
        assert not left & partials(files), f"kill {i}: {left} stayed after the next save began"
        time.sleep(max(0.0, moment - time.monotonic()))
        run.kill()
        data = target.read_bytes()
        left = partials(files) - before
        outcome = "old" if data == old else "new" if data == new else "neither"
        outcomes.append((i, outcome, len(data), sorted(left)))
        assert outcome != "neither", (f"kill {i}: the target is {len(data)} bytes, neither the "
                                      f"old file nor the new one; outcomes so far: {outcomes}")
        assert all(PARTIAL.fullmatch(name) for name in left), left
    kinds = {outcome for _, outcome, _, leftover in outcomes if outcome == "new" or leftover}
    assert kinds == {"old", "new"}, f"the kills did not spread over the save: {outcomes}"
    assert left, f"the earliest kill left no partial save: {outcomes}"

    # The next save into the folder removes the leftovers, and nothing else.
    target.write_bytes(old)
    run = Run(desktop, launch, target)
    run.start_save()
    desktop.wait_for(lambda: target.stat().st_size == BMP_SIZE,
                     describe=f"{target} replaced by a whole save")
    desktop.wait_for(lambda: not left & partials(files),
                     describe=lambda: f"{left} to go (there: {partials(files)})")
    assert sorted(os.listdir(files)) == sorted(["screen.bmp", "elsewhere", *others])
    assert all((files / name).read_bytes() == b"not ours" for name in others)
    assert os.listdir(elsewhere) == ["~蓝杉果截图-未完成的保存-0000abcd-0001.tmp"]
    assert is_whole_bmp(target.read_bytes())
