"""Turns the results of scripts/bench.sh into a table of figures beside their peers (printed
as Markdown, the form BENCHMARKS.md takes them in) and one plot of the conversion's time
against cjpeg and the floor at both sizes.
  report.py RESULTS_FOLDER PLOT.png
"""

import json
import sys
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

folder, plot = Path(sys.argv[1]), Path(sys.argv[2])
rows = []


def row(what, value, peer_name, peer, unit, target=None):
    ratio = value / peer
    mark = "" if target is None else (" (target <= %.2f: %s)" % (target, "met" if ratio <= target else "MISSED"))
    rows.append(f"| {what} | {value:.1f} {unit} | {peer_name} | {peer:.1f} {unit} | {ratio:.3f}{mark} |")


process = {}
for size in ("1920x1080", "3840x2160"):
    path = folder / f"process-{size}.json"
    if not path.exists():
        continue
    d = process[size] = json.loads(path.read_text())
    if not d["identical"]:
        rows.append(f"| {size}: OUTPUT DIFFERS | | | | |")
    for clock in ("cpu_ms", "wall_ms"):
        c = d[clock]
        for stat in ("min", "median"):
            p, f, j = c["program"][stat], c["floor"][stat], c["cjpeg"][stat]
            label = f"convertToJpeg {size}, {clock[:-3]} {stat}"
            row(label, p, "floor", f, "ms", 1.03 if clock == "cpu_ms" else None)
            row(label, p, "cjpeg", j, "ms", 0.95 if clock == "cpu_ms" else None)

for size in ("1920x1080", "3840x2160"):
    path = folder / f"instructions-{size}.json"
    if path.exists():
        n = json.loads(path.read_text())["instructions"]
        row(f"convertToJpeg {size}, instructions", n["program"] / 1e6, "floor",
            n["floor"] / 1e6, "M", 1.03)
        row(f"convertToJpeg {size}, instructions", n["program"] / 1e6, "cjpeg",
            n["cjpeg"] / 1e6, "M", 0.95)

inproc = folder / "in-process.json"
if inproc.exists():
    # CPU time: on a shared machine the wall clock mostly measures the other processes.
    means = {b["run_name"]: b["cpu_time"] for b in json.loads(inproc.read_text())["benchmarks"]
             if b.get("aggregate_name") == "median"}
    units = {b["run_name"]: b["time_unit"] for b in json.loads(inproc.read_text())["benchmarks"]}
    if "BM_ConvertToJpeg" in means:
        row("convertToJpeg in process, cpu median", means["BM_ConvertToJpeg"], "encode alone",
            means["BM_EncodeOnly"], units["BM_ConvertToJpeg"])
        row("BMP reader, cpu median", means["BM_ReadBmp"], "memcpy of the file's size",
            means["BM_MemcpyFileSize"], units["BM_ReadBmp"])

wine = folder / "wine.json"
if wine.exists():
    w = json.loads(wine.read_text())
    for stat in ("min", "median"):
        row(f"start to visible window, {stat}", w["start_ms"]["program"][stat], "minimal window",
            w["start_ms"]["minimal"][stat], "ms", 1.3)
    s = w["snapshot"]
    for stat in ("min", "median"):
        row(f"takeSnapshot {s['width']}x{s['height']}, {stat}", s["program_ms"][stat],
            "bare BitBlt + GetDIBits", s["bare_ms"][stat], "ms", 1.1)
    m = w["memory"]
    extra = (m["region_kib"] - m["idle_kib"]) * 1024
    row("resident memory added by 区域窗口", extra / 2**20, "BMP of the screen",
        m["bmp_bytes"] / 2**20, "MiB", 2.5)
exe = folder / "exe-bytes.txt"
if exe.exists():
    size = int(exe.read_text())
    rows.append(f"| lanshanguo.exe | {size / 2**20:.2f} MiB | target | 1.2 MB | "
                f"{'met' if size <= 1.2e6 else 'MISSED'} |")
    imports = (folder / "exe-imports.txt").read_text().split()
    rows.append(f"| its imports | {', '.join(imports)} | | | |")

print("| figure | value | peer | peer's value | ratio |")
print("|---|---|---|---|---|")
print("\n".join(rows))

if process:
    fig, axes = plt.subplots(1, len(process), figsize=(5 * len(process), 4))
    axes = axes if len(process) > 1 else [axes]
    for ax, (size, d) in zip(axes, process.items()):
        names = ["program", "floor", "cjpeg"]
        labels = ["convertToJpeg", "floor", "cjpeg"]
        for offset, (clock, colour) in enumerate((("cpu_ms", "tab:blue"), ("wall_ms", "tab:gray"))):
            mins = [d[clock][n]["min"] for n in names]
            meds = [d[clock][n]["median"] for n in names]
            xs = [i + offset * 0.38 for i in range(len(names))]
            ax.bar(xs, meds, width=0.36, color=colour, alpha=0.5,
                   label=f"{clock[:-3]} median")
            ax.scatter(xs, mins, color=colour, marker="_", s=300, label=f"{clock[:-3]} min")
        ax.set_xticks([i + 0.19 for i in range(len(names))], labels)
        ax.set_title(f"{size} screen-like BMP to JPEG")
        ax.set_ylabel("milliseconds per process")
        ax.legend(fontsize=8)
    fig.tight_layout()
    fig.savefig(plot, dpi=90)
    print(f"\nplot: {plot}")
