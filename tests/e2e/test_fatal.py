"""A failed allocation under Wine, in a test build of the program whose memory runs out on
cue (after the first allocation of a whole-screen snapshot, nothing more can be allocated):
the fatal box still comes, nothing of the program runs beneath it, and the process ends
with -1 once it is answered."""

from __future__ import annotations

import time

from PIL import ImageChops

import harness
from conftest import MAIN_TITLE
from mainwin import locate
from target.overlay import minimised

FATAL_TITLE = "蓝杉果高级屏幕截图软件 - 严重错误"


def test_memory_running_out_in_a_tick_shows_the_box_alone_and_ends_with_minus_one(desktop,
                                                                                 launch):
    program = launch(harness.program_path("tests/lanshanguo_failing_allocations.exe"))
    main = locate(desktop, program.wait_window(MAIN_TITLE))
    desktop.move(1000, 10)  # over the desktop: the tick's snapshot is of the whole screen
    desktop.key("ctrl+w")
    minimised(desktop, main)
    box = program.wait_window(FATAL_TITLE)
    geometry = desktop.window_geometry(box)
    before = desktop.screenshot()
    outside = [(0, 0, 1024, geometry.y), (0, geometry.bottom, 1024, 768)]
    # 快照窗口's timer ticks every second: had it gone on, a tick would have shown the red
    # frame over the whole screen. Nothing appearing is only seen by watching for a while,
    # here three ticks long, with the pointer moving over the program's windows meanwhile.
    deadline = time.monotonic() + 3.2
    while time.monotonic() < deadline:
        desktop.move(500, 400)
        desktop.move(1000, 10)
        shot = desktop.screenshot()
        for area in outside:
            assert ImageChops.difference(before.crop(area), shot.crop(area)).getbbox() is None, \
                f"the screen changed beneath the box in {area}"
    assert desktop.find_windows(f"^{FATAL_TITLE}$") == [box], "one box, and only one"
    assert program.running()
    desktop.save_screenshot("fatal-box")

    desktop.key("Return")
    assert program.wait_exit() == 0xFF  # -1, as Wine passes on its low 8 bits
