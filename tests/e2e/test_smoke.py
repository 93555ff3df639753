"""The program starts on the shared desktop, shows its main window where a user expects
it, and ends cleanly on Esc."""

import re

import pytest
from PIL import Image

from conftest import MAIN_TITLE
from harness import SCREEN_SIZE, HarnessError

OUTER_SIZE = (635, 521)


def test_main_window_opens_centred_and_esc_ends_the_program(desktop, app):
    geometry = desktop.window_geometry(app.window)
    # Wine (with its own title bars on the virtual desktop) reports the outer rectangle
    # as the X window; a driver that showed only the client area would still have to
    # sit inside the centred outer rectangle with an even frame left, right and below.
    left = (SCREEN_SIZE[0] - OUTER_SIZE[0]) // 2
    top = (SCREEN_SIZE[1] - OUTER_SIZE[1]) // 2
    side, right = geometry.x - left, left + OUTER_SIZE[0] - geometry.right
    bottom = top + OUTER_SIZE[1] - geometry.bottom
    assert 0 <= side <= 8 and side == right == bottom, geometry
    assert 0 <= geometry.y - top <= 40, geometry
    if side == 0:
        assert (geometry.width, geometry.height) == OUTER_SIZE

    # The window is really drawn there, not only mapped (it maps before it paints): its
    # title bar comes to differ from the desktop just above it.
    def title_bar_and_desktop():
        screen = desktop.screenshot()
        return screen.getpixel((left + 100, top + 8)), screen.getpixel((left + 100, top - 8))

    desktop.wait_for(lambda: len(set(title_bar_and_desktop())) == 2,
                     describe=lambda: f"the title bar drawn (title bar and desktop pixels: "
                     f"{title_bar_and_desktop()})")

    desktop.key("Escape")
    assert app.wait_exit() == 0
    assert not desktop.find_windows(f"^{MAIN_TITLE}$")


def test_a_timeout_reports_what_was_on_the_screen(desktop, app):
    # Later tests lean on this report to explain their failures.
    with pytest.raises(HarnessError) as failure:
        desktop.wait_window("no such window", timeout=0.5)
    message = str(failure.value)
    assert MAIN_TITLE in message  # the titles that were visible instead
    shot = re.search(r"screenshot: (\S+\.png)", message)
    assert shot and Image.open(shot.group(1)).size == SCREEN_SIZE
    assert f"output of {app.exe.name}" in message
