"""主窗口 as a user first sees it, its menus, clearing the view, and the ways it closes."""

from __future__ import annotations

import pytest

from conftest import MAIN_TITLE
from mainwin import (CANVAS_AT, HSCROLL, VSCROLL, is_white, locate, same, startup_picture)


@pytest.fixture
def main(desktop, app):
    return locate(desktop, app.window)


def test_start_up_picture_fills_the_view_with_one_white_column(desktop, main):
    screen = desktop.screenshot()
    picture = startup_picture()
    x, y = CANVAS_AT
    assert same(main.grab((x, y, x + 596, y + 440), screen), picture)
    # Centring 596 pixels in the 597-pixel canvas leaves its last column white.
    assert is_white(main.grab((x + 596, y, x + 597, y + 440), screen))
    # The viewport's white frame: one pixel above and left of the picture.
    assert is_white(main.grab((8, 7, 605, 8), screen))
    assert is_white(main.grab((8, 7, 9, 448), screen))


def test_scroll_bars_start_greyed(desktop, main):
    # A disabled scroll bar draws its arrows grey; an enabled one draws them black.
    screen = desktop.screenshot()
    for box in (HSCROLL, VSCROLL):
        darkest = min(sum(p) for p in main.grab(box, screen).getdata())
        assert darkest > 3 * 40, box


def test_menus_open_with_their_items(desktop, main):
    menu_bar_y = main.client[1] - 10
    shots = []
    for x in (30, 110):
        area = (0, 0, 300, 200)  # the client area's top-left, where the drop-down opens
        closed = main.grab(area)
        desktop.click(main.client[0] + x, menu_bar_y)
        desktop.wait_for(lambda: not same(main.grab(area), closed), describe="the drop-down menu to open")
        shots.append(desktop.screenshot())
        desktop.key("Escape")
        desktop.key("Escape")
        desktop.wait_for(lambda: same(main.grab(area), closed), describe="the menu to close")
    assert desktop.find_windows(f"^{MAIN_TITLE}$"), "Esc in a menu closes the menu, not the window"
    shots[0].save(desktop.test_dir() / "capture-menu.png")


def test_ctrl_c_clears_the_view_to_white(desktop, main):
    desktop.key("ctrl+c")
    desktop.wait_for(lambda: is_white(main.viewport()), describe="a white viewport after Ctrl+C")


def test_esc_with_a_modifier_does_not_close(desktop, app, main):
    for keys in ("ctrl+Escape", "shift+Escape", "ctrl+shift+Escape", "alt+shift+Escape"):
        desktop.key(keys)
    # A later command still reaches the window: the modified Escapes were handled by then.
    desktop.key("ctrl+c")
    desktop.wait_for(lambda: is_white(main.viewport()), describe="the view cleared after the Escapes")
    assert app.running()
    desktop.key("Escape")
    assert app.wait_exit() == 0


def test_close_button_ends_the_program(desktop, app, main):
    outer = desktop.window_geometry(app.window)
    # The close button sits at the right end of the title bar, above the client area.
    desktop.click(outer.right - 12, (outer.y + main.client[1]) // 2 - 8)
    assert app.wait_exit() == 0
