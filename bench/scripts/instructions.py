"""Instructions each command executes on the same source, counted by valgrind's cachegrind.
Unlike time on a shared machine, the count does not depend on what else runs, so it shows
small differences (a pass over the pixels) that timing noise hides. Prints one JSON object.
  instructions.py SOURCE OUT_FOLDER NAME=COMMAND... (COMMAND uses {src} and {out})
"""

import json
import os
import re
import shlex
import subprocess
import sys

source, folder = sys.argv[1], sys.argv[2]
counts = {}
for entry in sys.argv[3:]:
    name, command = entry.split("=", 1)
    out = os.path.join(folder, f"{name}-counted.jpg")
    argv = [a.format(src=source, out=out) for a in shlex.split(command)]
    result = subprocess.run(["valgrind", "--tool=cachegrind", "--cache-sim=no",
                             "--cachegrind-out-file=/dev/null", *argv],
                            capture_output=True, text=True, check=True)
    counts[name] = int(re.search(r"I\s+refs:\s+([\d,]+)", result.stderr).group(1).replace(",", ""))
json.dump({"source": os.path.basename(source), "instructions": counts}, sys.stdout)
print()
