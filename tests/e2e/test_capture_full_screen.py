"""Ctrl+A: the whole screen, as it is with 主窗口 minimised, lands in the view."""

from __future__ import annotations


import harness
from conftest import MAIN_TITLE
from mainwin import locate
from mainwin import same
from target.view import click_arrow, drag_thumb_to_end, expected_view, wait_view

DESKTOP = (37, 111, 149)  # Wine's desktop colour in the test prefix
MINIMISED_BAR = (0, 744, 160, 768)  # where Wine puts a minimised window, screen coordinates


def minimised_screen(desktop, launch):
    """The screen while 主窗口 is minimised (Wine leaves its small bar bottom-left): window
    capture keeps it minimised for a second before anything else shows."""
    program = launch(harness.program_path())
    main = locate(desktop, program.wait_window(MAIN_TITLE))
    desktop.move(1000, 10)  # over the desktop: its frame lies outside the screen
    desktop.key("ctrl+w")
    inside = main.at(300, 200)
    screen = desktop.wait_for(
        lambda: (s := desktop.screenshot()).getpixel(inside) == DESKTOP and s,
        describe="主窗口 minimised")
    program.kill()
    desktop.wait_for(lambda: not desktop.find_windows(f"^{MAIN_TITLE}$"),
                     describe="the first program gone")
    return screen


def test_ctrl_a_shows_the_screen_with_main_window_minimised(desktop, launch):
    screen = minimised_screen(desktop, launch)
    program = launch(harness.program_path())
    main = locate(desktop, program.wait_window(MAIN_TITLE))
    desktop.key("ctrl+a")
    wait_view(main, screen, (0, 0), "after Ctrl+A")
    assert program.running()


def test_ctrl_a_scrolls_over_the_whole_screen(desktop, launch):
    screen = minimised_screen(desktop, launch)
    program = launch(harness.program_path())
    main = locate(desktop, program.wait_window(MAIN_TITLE))
    desktop.key("ctrl+a")
    wait_view(main, screen, (0, 0), "after Ctrl+A")
    # The ranges are the screen size minus 599 and 442: at the far end of each the view
    # shows the picture from there on.
    right, bottom = screen.width - 599, screen.height - 442
    drag_thumb_to_end(main, vertical=True)
    # Wine draws the minimised bar active or not depending on what had the focus, which
    # differs between the reference screen and the capture: that strip is left out.
    bar = (MINIMISED_BAR[0], MINIMISED_BAR[1] - bottom, MINIMISED_BAR[2], MINIMISED_BAR[3] - bottom)
    want = expected_view(screen, (0, bottom))

    def bottom_shown():
        view = main.viewport()
        expected = want.copy()
        expected.paste(view.crop(bar), bar[:2])
        # Everything but the strip as it was, and in the strip a window's bar, not desktop.
        return same(view, expected) and len(view.crop(bar).getcolors(1 << 16) or [0, 0]) > 1

    desktop.wait_for(bottom_shown, 5, describe="the view scrolled to the bottom (the minimised bar)")
    drag_thumb_to_end(main, vertical=False)
    wait_view(main, screen, (right, bottom), "scrolled to the bottom right")
    click_arrow(main, vertical=False, towards_start=True)
    wait_view(main, screen, (right - 1, bottom), "one pixel back to the left")
    click_arrow(main, vertical=True, towards_start=True)
    wait_view(main, screen, (right - 1, bottom - 1), "one pixel back up")
    assert program.running()
