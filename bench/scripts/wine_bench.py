"""The benchmarks that need the real program under Wine, each beside its peer in one run:

- start-up: launch to a visible main window, against the minimal Win32 window program;
- snapshot: the program's full-screen takeSnapshot against bare BitBlt + GetDIBits
  (bench/win/snapshot_peer.cpp does both in one process, interleaved);
- memory: the program's resident memory while 区域窗口 shows the frozen screen, against
  the same process idle with its start-up picture; the difference over the BMP's size.

Prints one JSON object. Uses the end-to-end tests' harness (private Xvfb, Wine prefix).
  wine_bench.py ROUNDS
"""

from __future__ import annotations

import json
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import harness  # noqa: E402

MAIN_TITLE = "蓝杉果高级屏幕截图软件"
MINIMAL_TITLE = "minimal-window"


def visible(session, title):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                            env=session.env, capture_output=True, text=True)
    return result.returncode == 0 and result.stdout.strip() != ""


def start_to_visible(session, exe, title):
    """Milliseconds from launching `exe` to its window being mapped, polled as fast as
    xdotool answers (a few milliseconds a look)."""
    start = time.perf_counter()
    program = session.launch(exe)
    deadline = start + harness.DEFAULT_TIMEOUT
    while not visible(session, title):
        if time.perf_counter() > deadline or not program.running():
            raise harness.HarnessError(f"{exe.name} showed no window titled {title}")
    elapsed = (time.perf_counter() - start) * 1000
    session.end_programs()
    session.wait_for(lambda: not visible(session, title), describe=f"{title} gone")
    return elapsed


def rss_kib(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    raise harness.HarnessError(f"no VmRSS for process {pid}")


def settled_rss(pid, looks=6, interval=0.25):
    """The resident size once it has stopped growing: the largest of a few looks that no
    longer change by more than a page or two."""
    values = []
    for _ in range(looks * 4):
        values.append(rss_kib(pid))
        if len(values) >= looks and max(values[-looks:]) - min(values[-looks:]) <= 16:
            break
        time.sleep(interval)
    return max(values[-looks:])


def summary(values):
    return {"min": min(values), "median": statistics.median(values), "all": values}


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 7
    build = harness.BUILD / "windows"
    program_exe = build / "lanshanguo.exe"
    minimal_exe = build / "bench" / "win" / "minimal_window.exe"
    snapshot_exe = build / "bench" / "win" / "snapshot_peer.exe"
    # A full-HD screen: the snapshot and the frozen screen at a size users have.
    size = (1920, 1080)
    session = harness.Session(harness.BUILD / "wine" / "bench", harness.BUILD / "bench" / "wine",
                              size)
    try:
        result = {"screen": list(size)}

        # Start-up, interleaved: the order flips every round.
        times = {"program": [], "minimal": []}
        for _ in range(1):  # one unmeasured start of each warms the page cache and prefix
            start_to_visible(session, program_exe, MAIN_TITLE)
            start_to_visible(session, minimal_exe, MINIMAL_TITLE)
        for r in range(rounds):
            pair = [("program", program_exe, MAIN_TITLE), ("minimal", minimal_exe, MINIMAL_TITLE)]
            for name, exe, title in pair if r % 2 == 0 else reversed(pair):
                times[name].append(start_to_visible(session, exe, title))
        result["start_ms"] = {name: summary(v) for name, v in times.items()}

        # Snapshot against bare GDI, in one process.
        peer = session.launch(snapshot_exe, str(rounds * 3))
        peer.wait_exit(timeout=300)
        line = [l for l in peer.output().splitlines() if l.startswith("{")][-1]
        snapshot = json.loads(line)
        result["snapshot"] = {"width": snapshot["width"], "height": snapshot["height"],
                              "bmp_bytes": snapshot["bmp_bytes"],
                              "program_ms": summary(snapshot["program_ms"]),
                              "bare_ms": summary(snapshot["bare_ms"])}
        session.end_programs()

        # Memory: idle with the start-up picture, then with 区域窗口 up.
        program = session.launch(program_exe)
        program.wait_window(MAIN_TITLE)
        idle = settled_rss(program.pid)
        before = set(session.find_windows("^$"))
        session.move(900, 500)
        session.key("ctrl+z")
        session.wait_for(lambda: set(session.find_windows("^$")) - before,
                         describe="区域窗口 shown")
        region = settled_rss(program.pid)
        session.key("Escape")
        session.end_programs()
        result["memory"] = {"idle_kib": idle, "region_kib": region,
                            "bmp_bytes": snapshot["bmp_bytes"]}
        json.dump(result, sys.stdout)
        print()
    finally:
        session.close()


main()
