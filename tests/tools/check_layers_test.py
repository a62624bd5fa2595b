#!/usr/bin/env python3
"""tools/check-layers on tiny trees: each case is the files of a src/ folder
and what the check prints and returns for them."""
import pathlib
import subprocess
import sys
import tempfile

CHECK = pathlib.Path(__file__).resolve().parents[2] / "tools" / "check-layers"

CASES = [
    ("a folder includes its own files and those below it", {
        "core/a.h": '#include "platform/p.h"\n',
        "core/a.cpp": '#include "core/a.h"\n#include "core/b.h"\n',
        "core/b.cpp": '#include "core/b.h"\n',
    }, "", 0),
    ("a layer below includes one above", {
        "core/a.cpp": '#include "streams/s.h"\n',
    }, "src/core/a.cpp:1: core includes streams, a layer above it\n", 1),
    ("two files include each other's header", {
        "core/lifecycle.cpp": '#include "core/report.h"\n',
        "core/report.cpp": '#include "core/lifecycle.h"\n',
    }, "src/core: a circle of includes: lifecycle -> report -> lifecycle\n", 1),
    ("a circle of three, beside a file outside it", {
        "exceptions/a.h": '#include "exceptions/b.h"\n',
        "exceptions/b.cpp": '#include "exceptions/c.h"\n#include "exceptions/d.h"\n',
        "exceptions/c.cpp": '#include "exceptions/a.h"\n',
        "exceptions/d.cpp": '#include "exceptions/c.h"\n',
    }, "src/exceptions: a circle of includes: a -> b -> c -> a\n", 1),
]

failures = 0
for name, files, expected_output, expected_code in CASES:
    with tempfile.TemporaryDirectory() as folder:
        src = pathlib.Path(folder) / "src"
        for path, text in files.items():
            (src / path).parent.mkdir(parents=True, exist_ok=True)
            (src / path).write_text(text)
        run = subprocess.run([sys.executable, str(CHECK), str(src)], capture_output=True, text=True)
    if (run.stdout, run.returncode) != (expected_output, expected_code):
        print(f"{name}: expected {expected_output!r} and {expected_code}, got {run.stdout!r} and {run.returncode}")
        failures += 1
sys.exit(1 if failures else 0)
