"""Ctrl+Z: the frozen screen, the dragged red outline, the pick of exactly its inside, and
Esc."""

from __future__ import annotations

from mainwin import CANVAS_AT, same, startup_picture
from target.overlay import RED, overlay_up, start_main, start_target, untitled_windows
from target.pixels import picture, window_pixel
from target.view import wait_view

ANCHOR = (280, 250)
CORNER = (480, 430)  # the first pixel outside the outline, down and right
LATE = (300, 300, 150, 100)  # a window that comes up over the overlay after the command


def drag(desktop):
    """Presses at ANCHOR, moves in steps to CORNER and releases there, each step given time
    to reach the program before the next (no step is a wait for the result)."""
    command = ["xdotool", "mousemove", *map(str, ANCHOR), "sleep", "0.1", "mousedown", "1"]
    for i in range(1, 5):
        command += ["sleep", "0.05", "mousemove",
                    str(ANCHOR[0] + (CORNER[0] - ANCHOR[0]) * i // 4),
                    str(ANCHOR[1] + (CORNER[1] - ANCHOR[1]) * i // 4)]
    desktop.xtool(command + ["sleep", "0.05", "mouseup", "1"])


def outline_shown(desktop):
    """The screenshot once the one-pixel red outline from ANCHOR to CORNER - 1 is drawn."""
    (ax, ay), (x, y) = ANCHOR, CORNER
    on = [(ax, ay), (x - 1, y - 1), (ax, (ay + y) // 2), (x - 1, ay + 5), ((ax + x) // 2, y - 1)]
    off = [(ax + 1, ay + 1), (x - 2, y - 2), (x, y), (ax - 1, ay - 1)]

    def look():
        shot = desktop.screenshot()
        ok = all(shot.getpixel(p) == RED for p in on) and all(shot.getpixel(p) != RED for p in off)
        return shot if ok else None

    return desktop.wait_for(look, describe="the red outline")


def test_a_click_inside_the_outline_takes_exactly_the_frozen_inside(desktop, launch):
    app, main = start_main(desktop, launch)
    desktop.move(*ANCHOR)
    before = untitled_windows(desktop)
    desktop.key("ctrl+z")
    frozen = overlay_up(desktop, main, before)  # the overlay shows the screen as it was frozen
    late = start_target(launch, "lsg-e2e-late", LATE, topmost=True)
    desktop.wait_for(lambda: desktop.screenshot().getpixel((LATE[0] + 1, LATE[1] + 1))
                     == window_pixel(1, 1), describe="the late window over the overlay")

    drag(desktop)
    shot = outline_shown(desktop)
    shot.save(desktop.test_dir() / "region-capture.png")  # the README's picture, by hand
    # Inside the outline, away from the late window: the frozen picture unchanged.
    (ax, ay), (x, y) = ANCHOR, CORNER
    assert same(shot.crop((ax + 1, ay + 1, LATE[0], y - 1)),
                frozen.crop((ax + 1, ay + 1, LATE[0], y - 1)))

    desktop.click(ax + 5, y - 10)
    inside = frozen.crop((ax + 1, ay + 1, x - 1, y - 1))
    assert inside.size == (x - ax - 2, y - ay - 2)
    wait_view(main, inside, describe="holding the inside of the outline")
    # The late window was never in the frozen screen, so not in the picture either.
    assert not same(inside.crop((LATE[0] - ax - 1, LATE[1] - ay - 1, LATE[0] - ax + 20,
                                 LATE[1] - ay + 20)), picture(21, 21, window_pixel))
    assert app.running() and late.running()


def test_esc_cancels_with_the_view_unchanged(desktop, launch):
    app, main = start_main(desktop, launch)
    desktop.move(*ANCHOR)
    before = untitled_windows(desktop)
    desktop.key("ctrl+z")
    overlay_up(desktop, main, before)
    drag(desktop)
    outline_shown(desktop)
    desktop.key("Escape")
    # Not fitted again on this path: the start-up picture where it was at start-up.
    x, y = CANVAS_AT
    desktop.wait_for(lambda: same(main.grab((x, y, x + 596, y + 440)), startup_picture()),
                     describe="主窗口 back with its start-up picture in place")
    assert app.running()

