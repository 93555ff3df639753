"""主窗口 on a display scaled to 150 % (144 DPI), on a screen of its own: the whole layout at
1.5 times its defined place, and pictures at their natural size in the larger viewport."""

from __future__ import annotations

import pytest
from PIL import Image

import harness
from conftest import MAIN_TITLE
from mainwin import same
from target.overlay import start_target

DPI = 144
SCREEN = (1600, 1200)
DESKTOP = (37, 111, 149)  # Wine's desktop colour in the test prefixes
WHITE = (255, 255, 255)


def scaled(value: int) -> int:
    """A defined number at 144 DPI, rounded half away from zero as MulDiv does."""
    return (value * DPI + 48) // 96


# Client coordinates at 144 DPI (exclusive ends) of what the definition places at 96 DPI.
FRAME = (scaled(6), scaled(6), scaled(6) + scaled(618), scaled(6) + scaled(463))  # 背景
VIEWPORT_AT = (scaled(8), scaled(7))  # 内背景
VIEWPORT_SIZE = (scaled(599), scaled(442))  # its client area: the scroll ranges' viewport
HSCROLL = (scaled(7), scaled(449), scaled(7) + scaled(600), scaled(449) + scaled(18))
VSCROLL = (scaled(606), scaled(7), scaled(606) + scaled(17), scaled(7) + scaled(443))


@pytest.fixture(scope="module")
def session():
    yield from harness.own_session("e2e-144dpi", SCREEN, dpi=DPI)


class View:
    """主窗口's client area and its white viewport as measured on the screen."""

    def __init__(self, session: harness.Session, window: int):
        self.session = session
        outer = session.window_geometry(window)
        session.key("ctrl+c")
        self.client, self.white = session.wait_for(
            lambda: self._measure(outer, session.screenshot()),
            describe="a white viewport inside 主窗口 after Ctrl+C")

    @staticmethod
    def _measure(outer: harness.Geometry, shot: Image.Image):
        """The client origin and the white viewport (left, top, width, height) on the screen:
        the longest white run down the window's middle column, then across its middle row."""

        def longest(values) -> tuple[int, int]:
            best, start, run = (0, 0), 0, 0
            for i, value in enumerate(values):
                run = run + 1 if value == WHITE else 0
                if run > best[1]:
                    best = (i - run + 1, run)
            return best

        def down(x: int) -> tuple[int, int]:
            return longest(shot.getpixel((x, y)) for y in range(outer.y, outer.bottom))

        def across(y: int) -> tuple[int, int]:
            return longest(shot.getpixel((x, y)) for x in range(outer.x, outer.right))

        # Two neighbouring lines each way: a scroll bar's dotted track is white on every
        # other line, where it would seem to carry the viewport one pixel further.
        mid_x = outer.x + outer.width // 2
        top, height = min(down(mid_x), down(mid_x + 1), key=lambda run: run[1])
        top += outer.y
        mid_y = top + height // 2
        left, width = min(across(mid_y), across(mid_y + 1), key=lambda run: run[1])
        left += outer.x
        if width < 100 or height < 100:
            return None
        return (left - VIEWPORT_AT[0], top - VIEWPORT_AT[1]), (left, top, width, height)

    def at(self, x: int, y: int) -> tuple[int, int]:
        return self.client[0] + x, self.client[1] + y

    def grab(self, box, shot: Image.Image | None = None) -> Image.Image:
        shot = shot or self.session.screenshot()
        x, y = self.client
        return shot.crop((x + box[0], y + box[1], x + box[2], y + box[3]))

    def shown(self) -> Image.Image:
        """What the viewport shows where it is not under a scroll bar."""
        left, top, width, height = self.white
        return self.session.screenshot().crop((left, top, left + width, top + height))


def start(session) -> tuple[harness.Program, View]:
    program = session.launch(harness.program_path())
    return program, View(session, program.wait_window(MAIN_TITLE))


def test_whole_layout_is_visible_and_the_cleared_viewport_is_scaled(desktop):
    program, view = start(desktop)
    # 599 x 442 at 150 %, as the user sees it white: within the rounding of two pixels.
    _, _, width, height = view.white
    assert abs(width - 1.5 * 599) <= 2 and abs(height - 1.5 * 442) <= 2, view.white

    shot = desktop.screenshot()
    face = view.grab((2, 2, 3, 3), shot).getpixel((0, 0))
    left, top, right, bottom = FRAME
    # The sunken frame all round: its shadow line at the top, its light line at the bottom
    # and at the right, and the window's own face below it, inside the window.
    assert set(view.grab((left + 1, top, right - 1, top + 1), shot).getdata()) != {WHITE}
    assert set(view.grab((left + 1, bottom - 1, right, bottom), shot).getdata()) == {WHITE}
    assert set(view.grab((right - 1, top + 1, right, bottom), shot).getdata()) == {WHITE}
    assert set(view.grab((left, bottom, right, bottom + 3), shot).getdata()) == {face}
    # Both scroll bars whole: the arrow at the far end of each is drawn (a glyph, not a
    # flat colour), with none of the desktop in it.
    thick = HSCROLL[3] - HSCROLL[1]
    for box in ((HSCROLL[2] - thick, HSCROLL[1], HSCROLL[2], HSCROLL[3]),
                (VSCROLL[0], VSCROLL[3] - thick, VSCROLL[2], VSCROLL[3])):
        colours = set(view.grab(box, shot).getdata())
        assert len(colours) > 2 and DESKTOP not in colours, box
    shot.save(desktop.test_dir() / "main-window-144dpi.png")
    assert program.running()


def minimised_screen(desktop) -> Image.Image:
    """The screen while 主窗口 is minimised: window capture keeps it minimised for a second
    before anything else shows."""
    program, view = start(desktop)
    desktop.move(SCREEN[0] - 10, 10)  # over the desktop: its frame lies outside the screen
    desktop.key("ctrl+w")
    inside = view.at(300, 200)
    shot = desktop.wait_for(lambda: (s := desktop.screenshot()).getpixel(inside) == DESKTOP and s,
                            describe="主窗口 minimised")
    program.kill()
    desktop.wait_for(lambda: not desktop.find_windows(f"^{MAIN_TITLE}$"),
                     describe="the first program gone")
    return shot


def drag_thumb_to_end(view: View, vertical: bool) -> None:
    """Drags a scroll bar's thumb from just after its first arrow to the bar's far end."""
    bar = VSCROLL if vertical else HSCROLL
    thick = (bar[2] - bar[0]) if vertical else (bar[3] - bar[1])  # the arrows are square
    if vertical:
        x = (bar[0] + bar[2]) // 2
        start, end = view.at(x, bar[1] + thick + 6), view.at(x, bar[3] - 2)
    else:
        y = (bar[1] + bar[3]) // 2
        start, end = view.at(bar[0] + thick + 6, y), view.at(bar[2] - 2, y)
    # The bar tracks its thumb in a loop of its own, entered on the press: a pause after
    # the press and after each move lets that loop see every step.
    command = ["xdotool", "mousemove", *map(str, start), "sleep", "0.2", "mousedown", "1"]
    for i in range(1, 5):
        command += ["sleep", "0.1", "mousemove", str(start[0] + (end[0] - start[0]) * i // 4),
                    str(start[1] + (end[1] - start[1]) * i // 4)]
    command += ["sleep", "0.1", "mouseup", "1"]
    view.session.xtool(command)


def test_ctrl_a_shows_the_screen_at_natural_size_and_scrolls_to_its_far_end(desktop, launch):
    # Windows with known pixels where only the right offset shows them: the top left, the
    # top right and the bottom right of the screen, all clear of 主窗口.
    for n, rect in enumerate([(100, 100, 150, 100), (1300, 100, 200, 150), (1300, 900, 200, 150)]):
        start_target(launch, f"lsg-e2e-target-{n}", rect)
    screen = minimised_screen(desktop)
    program, view = start(desktop)
    left, top, width, height = view.white

    def wait_offset(x: int, y: int, what: str) -> None:
        want = screen.crop((x, y, x + width, y + height))
        shown = []

        def matches():
            shown[:] = [view.shown()]
            return same(shown[0], want)

        def describe():
            want.save(desktop.test_dir() / f"want-{x}-{y}.png")
            shown[0].save(desktop.test_dir() / f"shown-{x}-{y}.png")
            return f"the view to show the screen from ({x}, {y}) 1:1 {what}"

        desktop.wait_for(matches, describe=describe)

    desktop.key("ctrl+a")
    wait_offset(0, 0, "after Ctrl+A")
    # The ranges are the picture's size minus the viewport's: at the far end of each the
    # view shows the screen from there on. Across first, so that the minimised window's
    # bar at the bottom left never comes into the view.
    right, bottom = SCREEN[0] - VIEWPORT_SIZE[0], SCREEN[1] - VIEWPORT_SIZE[1]
    drag_thumb_to_end(view, vertical=False)
    wait_offset(right, 0, "scrolled to the right end")
    drag_thumb_to_end(view, vertical=True)
    wait_offset(right, bottom, "scrolled to the bottom right")
    assert program.running()
