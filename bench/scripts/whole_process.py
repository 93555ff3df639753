"""Whole-process timing of the conversion beside its peers.

Runs each named command on the same source, interleaved (the order rotates every round,
so a slow moment of a shared machine falls on every peer alike), for a number of rounds,
and prints one JSON object: per command the wall and CPU (user + system) times in
milliseconds of every round, with min and median, and whether every output file was byte
for byte the first command's.

  whole_process.py ROUNDS SOURCE OUT_FOLDER NAME=COMMAND... (COMMAND uses {src} and {out})
"""

import json
import os
import shlex
import statistics
import sys
import time


def run_once(argv):
    start = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, os.environ)
    _, status, usage = os.wait4(pid, 0)
    wall = (time.perf_counter_ns() - start) / 1e6
    if os.waitstatus_to_exitcode(status) != 0:
        raise SystemExit(f"failed: {' '.join(argv)}")
    return wall, (usage.ru_utime + usage.ru_stime) * 1000


def summary(values):
    return {"min": min(values), "median": statistics.median(values), "all": values}


def main():
    rounds, source, folder = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    peers = []
    for entry in sys.argv[4:]:
        name, command = entry.split("=", 1)
        out = os.path.join(folder, f"{name}.jpg")
        argv = [a.format(src=source, out=out) for a in shlex.split(command)]
        peers.append((name, argv, out))
    walls = {name: [] for name, _, _ in peers}
    cpus = {name: [] for name, _, _ in peers}
    for _, argv, _ in peers:  # warm the page cache and the binaries once
        run_once(argv)
    for r in range(rounds):
        for i in range(len(peers)):
            name, argv, _ = peers[(i + r) % len(peers)]
            wall, cpu = run_once(argv)
            walls[name].append(wall)
            cpus[name].append(cpu)
    reference = open(peers[0][2], "rb").read()
    result = {
        "source": os.path.basename(source),
        "rounds": rounds,
        "identical": all(open(out, "rb").read() == reference for _, _, out in peers),
        "output_bytes": len(reference),
        "wall_ms": {name: summary(v) for name, v in walls.items()},
        "cpu_ms": {name: summary(v) for name, v in cpus.items()},
    }
    json.dump(result, sys.stdout)
    print()


main()
