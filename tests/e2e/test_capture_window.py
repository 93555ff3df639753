"""Ctrl+W against a window of another process: the blinking frame, the pick of the window
or of its child control alone, and Esc."""

from __future__ import annotations

import pytest

from mainwin import same
from target.overlay import MINIMISED_CLOSE, RED, start_main, start_target
from target.pixels import child_pixel, picture, window_pixel
from target.view import wait_view

TARGET = (40, 30, 150, 100)
CHILD = (30, 40, 60, 30)  # in the target's client area


def framed(desktop, rect, shown=True):
    """Waits until the 2-pixel red frame around rect is shown (or gone); the screenshot."""
    x, y, w, h = rect
    corners = [(x - 2, y - 2), (x - 1, y + h // 2), (x + w + 1, y + h + 1), (x + w // 2, y - 1)]

    def look():
        shot = desktop.screenshot()
        red = all(shot.getpixel(c) == RED for c in corners)
        return shot if red == shown else None

    return desktop.wait_for(look, describe=f"the red frame around {rect} {'shown' if shown else 'gone'}")


@pytest.fixture
def target(launch):
    return start_target(launch, "lsg-e2e-target", TARGET, CHILD)


@pytest.mark.parametrize("point_at, rect, expected", [
    ("window", TARGET, picture(TARGET[2], TARGET[3], window_pixel, CHILD)),
    ("child", (TARGET[0] + CHILD[0], TARGET[1] + CHILD[1], CHILD[2], CHILD[3]),
     picture(CHILD[2], CHILD[3], child_pixel)),
])
def test_frame_blinks_and_a_click_takes_the_framed_picture(desktop, launch, target, point_at,
                                                           rect, expected):
    app, main = start_main(desktop, launch)
    # Over the framed rectangle but away from the child when the window is meant.
    inside = (rect[0] + 5, rect[1] + 5)
    desktop.move(*inside)
    desktop.key("ctrl+w")
    shot = framed(desktop, rect)
    # The picture inside the frame is the window's own, in place.
    x, y, w, h = rect
    assert same(shot.crop((x, y, x + w, y + h)), expected)
    if point_at == "window":
        shot.save(desktop.test_dir() / "window-capture.png")  # the README's picture, by hand
    framed(desktop, rect, shown=False)
    framed(desktop, rect)
    desktop.click(*inside)
    wait_view(main, expected, describe=f"holding the {point_at}'s picture")
    assert app.running()


def test_esc_cancels_with_the_picture_unchanged(desktop, launch, target):
    app, main = start_main(desktop, launch)
    before = main.viewport()
    desktop.move(TARGET[0] + 5, TARGET[1] + 5)
    desktop.key("ctrl+w")
    framed(desktop, TARGET)
    desktop.key("Escape")
    framed(desktop, TARGET, shown=False)
    # Fitted again to the start-up picture: one pixel up and left of where it started.
    desktop.wait_for(lambda: same(main.grab((8, 7, 604, 447)), before.crop((1, 1, 597, 441))),
                     describe="the start-up picture back in the view")
    assert app.running()


def test_closing_main_window_during_the_mode_ends_the_program(desktop, launch):
    app, main = start_main(desktop, launch)
    desktop.move(600, 300)  # over the desktop: its frame lies outside the screen
    desktop.key("ctrl+w")
    desktop.wait_for(lambda: desktop.screenshot().getpixel(MINIMISED_CLOSE) != (37, 111, 149),
                     describe="the minimised 主窗口 bottom left")
    desktop.click(*MINIMISED_CLOSE)
    assert app.wait_exit() == 0
