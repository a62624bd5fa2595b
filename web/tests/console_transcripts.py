#!/usr/bin/env python3
"""Runs a program on a pseudo-terminal as a person at a console would:
waits until the program waits for a key, types the next keys, and records
everything the terminal shows, the echo of the typed keys included.

Usage: console_transcripts.py PROGRAM < cases.json > transcripts.json
cases.json is a list of cases, each a list of steps, each the keys typed
at once ("\\r" Enter, "\\x7f" Backspace, "\\x04" Ctrl-D, "\\x03" Ctrl-C).
For each case the answer holds what the terminal showed before each step
and at the end (latin-1 text), and the exit status (128 + the signal's
number for a run ended by a signal, as a shell reports it)."""
import fcntl
import json
import os
import pty
import select
import subprocess
import sys
import termios
import time

QUIET_SECONDS = 0.05


def waiting_for_input(pid):
    """True when the process sleeps (in its read) rather than runs."""
    try:
        with open(f"/proc/{pid}/stat", "rb") as stat:
            return stat.read().rsplit(b")", 1)[1].split()[0] == b"S"
    except OSError:
        return True


def take_output(master, process, shown, until_exit=False):
    """Reads what the program writes until it waits for input (or ends)."""
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        ready, _, _ = select.select([master], [], [], QUIET_SECONDS)
        if ready:
            try:
                data = os.read(master, 65536)
            except OSError:  # the program has ended and closed the terminal
                return
            if not data:
                return
            shown.extend(data)
        elif not until_exit and waiting_for_input(process.pid):
            return
        elif until_exit and process.poll() is not None:
            return


def run_case(program, steps):
    master, slave = pty.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, b"\x18\x00\x50\x00\x00\x00\x00\x00")  # 24 rows, 80 columns

    def controlling_terminal():
        os.setsid()
        fcntl.ioctl(0, termios.TIOCSCTTY, 0)

    process = subprocess.Popen([program], stdin=slave, stdout=slave, stderr=slave,
                               preexec_fn=controlling_terminal)
    os.close(slave)
    shown = bytearray()
    before_steps = []
    for keys in steps:
        take_output(master, process, shown)
        before_steps.append(shown.decode("latin-1"))
        os.write(master, keys.encode("latin-1"))
    take_output(master, process, shown, until_exit=True)
    status = process.wait(timeout=10)
    os.close(master)
    return {"before_steps": before_steps, "end": shown.decode("latin-1"),
            "status": 128 - status if status < 0 else status}


def main():
    cases = json.load(sys.stdin)
    json.dump([run_case(sys.argv[1], steps) for steps in cases], sys.stdout)


if __name__ == "__main__":
    main()
