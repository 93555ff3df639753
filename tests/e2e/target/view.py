"""Reading back what 画板1 holds after a capture, through the view and its scroll bars."""

from __future__ import annotations

from PIL import Image

from mainwin import HSCROLL, VIEWPORT, VSCROLL, MainWindow, same

# 画板1's top-left in the client area once a capture has fitted it: 内背景's own corner.
FITTED_AT = (8, 7)
VIEW_SIZE = (VIEWPORT[2] - VIEWPORT[0], VIEWPORT[3] - VIEWPORT[1])  # 598 x 441 shown
ARROW = 17  # a scroll bar's arrow button, before its thumb


def expected_view(picture: Image.Image, offset=(0, 0)) -> Image.Image:
    """What the viewport shows of `picture` scrolled by offset: white where it ends."""
    view = Image.new("RGB", VIEW_SIZE, (255, 255, 255))
    x, y = offset
    view.paste(picture.crop((x, y, min(x + VIEW_SIZE[0], picture.width),
                             min(y + VIEW_SIZE[1], picture.height))), (0, 0))
    return view


def wait_view(main: MainWindow, picture: Image.Image, offset=(0, 0), describe="",
              timeout: float = 20.0) -> None:
    """Waits until the viewport shows `picture` at offset, 1:1."""
    want = expected_view(picture, offset)
    main.session.wait_for(lambda: same(main.viewport(), want), timeout,
                          describe=f"the view to show the picture at {offset} {describe}")


def drag_thumb_to_end(main: MainWindow, vertical: bool) -> None:
    """Drags a scroll bar's thumb from its start to its far end: the maximum position. The
    release stays on the bar: released far from it, the thumb springs back to where it was."""
    bar = VSCROLL if vertical else HSCROLL
    if vertical:
        x = (bar[0] + bar[2]) // 2
        start, end = main.at(x, bar[1] + ARROW + 4), main.at(x, bar[3] - 2)
    else:
        y = (bar[1] + bar[3]) // 2
        start, end = main.at(bar[0] + ARROW + 4, y), main.at(bar[2] - 2, y)
    # The scroll bar tracks its thumb in a loop of its own, entered on the press; a pause
    # after the press and each move lets that loop see every step.
    # The pointer settles on the thumb before the press, or the press lands where it was.
    command = ["xdotool", "mousemove", *map(str, start), "sleep", "0.2", "mousedown", "1"]
    for i in range(1, 5):
        command += ["sleep", "0.1", "mousemove", str(start[0] + (end[0] - start[0]) * i // 4),
                    str(start[1] + (end[1] - start[1]) * i // 4)]
    command += ["sleep", "0.1", "mouseup", "1"]
    main.session.xtool(command)


def click_arrow(main: MainWindow, vertical: bool, towards_start: bool) -> None:
    bar = VSCROLL if vertical else HSCROLL
    if vertical:
        x = (bar[0] + bar[2]) // 2
        y = bar[1] + ARROW // 2 if towards_start else bar[3] - ARROW // 2
    else:
        y = (bar[1] + bar[3]) // 2
        x = bar[0] + ARROW // 2 if towards_start else bar[2] - ARROW // 2
    main.session.click(*main.at(x, y))
