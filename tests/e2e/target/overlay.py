"""Starting the tests' own target window and watching the capture overlays on the screen."""

from __future__ import annotations

import harness
from conftest import MAIN_TITLE
from mainwin import MainWindow, locate

RED = (255, 0, 0)
DESKTOP = (37, 111, 149)  # Wine's desktop colour in the test prefix
# Wine's minimised 主窗口: a small title bar at the bottom left, its close button here.
MINIMISED_CLOSE = (145, 756)


def target_path():
    return harness.BUILD / "windows" / "tests" / "e2e_target.exe"


def start_target(launch, title, rect, child=None, topmost=False):
    args = [title, *rect, *(child or ()), *(["topmost"] if topmost else [])]
    program = launch(target_path(), *args)
    program.window = program.wait_window(title)
    return program


def start_main(desktop, launch) -> tuple[harness.Program, MainWindow]:
    program = launch(harness.program_path())
    return program, locate(desktop, program.wait_window(MAIN_TITLE))


def minimised(desktop, main: MainWindow):
    """Waits until 主窗口's place shows the desktop; the screenshot then."""
    inside = main.at(300, 200)
    return desktop.wait_for(lambda: (s := desktop.screenshot()).getpixel(inside) == DESKTOP and s,
                            describe="主窗口 minimised")


def untitled_windows(desktop) -> set[int]:
    return set(desktop.find_windows("^$"))


def overlay_up(desktop, main: MainWindow, before: set[int]):
    """Waits until an untitled window that was not there `before` is shown (the overlays
    have no title) and 主窗口 is minimised; the screenshot then."""
    desktop.wait_for(lambda: untitled_windows(desktop) - before, describe="the overlay shown")
    return minimised(desktop, main)
