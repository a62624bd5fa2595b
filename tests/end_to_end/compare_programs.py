#!/usr/bin/env python3
"""Runs the x86-64 Linux program and the program of another target (under
qemu-user or Wine) on the same random dialogues and byte soups, from a file
and from a pipe, and fails unless both write the same bytes to standard
output and standard error and end with the same exit code.

The reports may differ in what the build decides: the module's name
(angleconv, angleconv.exe) and the address within it. Those are compared
as a mapping: the same failing statement must show one address in every
run of each program, and different statements different ones.

About one run in several thousand, Wine ends the Windows program with a
failing code before it has written a byte, where the program itself always
writes a prompt or a report first; such a run is made once more, and counted.

The batch mode (--batches) runs both programs with --from and --to on
random lines of values, and --hostile adds the input a user should not
send: lines of megabytes, long input without a line end, NUL bytes, the end
marker 26, invalid UTF-8, and many megabytes of lines (each from a file and
from a pipe).

Usage: compare_programs.py [--dialogues N] [--soups N] [--batches N]
                           [--hostile] [--seed S]
                           REFERENCE_PROGRAM TARGET_COMMAND...
TARGET_COMMAND is the target's program after its emulator, such as
qemu-aarch64 build-aarch64/angleconv, or build-windows/wine-run angleconv.exe."""
import argparse
import concurrent.futures
import os
import random
import re
import subprocess
import sys
import tempfile

REPORT = re.compile(rb"(Exception \w+ in module )([^ ]+)( at )([0-9A-F]{8})(\.\r\n)")
RUNTIME_ERROR = re.compile(rb"(Runtime error +\d+ at )([0-9A-F]{8,})")
UNITS = [b"rad", b"g", b"d"]
ODD_UNITS = [b"x", b"", b"D", b"Rad", b"rad ", b" g", b"deg", b"\x1a", b"r\tad"]


def random_number(rng):
    """A number token as a user might type it, often near an edge."""
    kind = rng.randrange(12)
    sign = rng.choice([b"", b"", b"-", b"+"])
    if kind == 0:
        return sign + str(rng.randrange(10**rng.randrange(1, 25))).encode()
    if kind == 1:
        return sign + f"{rng.uniform(0, 1000):.{rng.randrange(0, 20)}f}".encode()
    if kind == 2:
        return sign + f"{rng.uniform(1, 10):.{rng.randrange(0, 18)}f}e{rng.randrange(-5000, 5000)}".encode()
    if kind == 3:
        return sign + rng.choice([b"1e308", b"1e309", b"4e306", b"1e400", b"1e4932", b"1e5120", b"1e-400",
                                  b"2.2250738585072014e-308", b"4.9e-324", b"1.8e308", b"0", b"-0"])
    if kind == 4:
        return rng.choice([b"abc", b".", b"e5", b"1e", b"--1", b"1.2.3", b"$10", b"0x1A", b"1,5", b"", b"inf", b"nan"])
    if kind == 5:
        return sign + f"{rng.uniform(-400, 400):.{rng.randrange(1, 12)}g}".encode()
    return sign + str(rng.randrange(-720, 721)).encode() + rng.choice([b"", b".5", b".25", b".0000001", b"e2"])


def random_dialogue(rng):
    """One dialogue: a unit word, one or three numbers, a unit word, Enter;
    sometimes with blank lines, trailing words, CR LF or an early end."""
    end = rng.choice([b"\n", b"\n", b"\r\n"])
    source = rng.choice(UNITS * 4 + ODD_UNITS)
    lines = [source]
    for _ in range(3 if source == b"d" else 1):
        lines.extend([b""] * rng.choice([0, 0, 0, 1, 2]))
        number = random_number(rng)
        if rng.randrange(6) == 0:
            number += b" " + rng.choice([b"degrees", b"1", b"x"])
        lines.append(number)
    lines.append(rng.choice(UNITS * 4 + ODD_UNITS))
    lines.append(b"")
    text = end.join(lines) + end
    if rng.randrange(10) == 0:
        text = text[: rng.randrange(len(text) + 1)]
    return text


def random_soup(rng):
    """Bytes drawn mostly from what the dialogue reads: letters of the unit
    words, digits, signs, blanks, line ends and the end marker 26."""
    alphabet = b"radgRDG0123456789.eE+-  \t\n\n\r\x1a" + bytes([rng.randrange(256)])
    return bytes(rng.choice(alphabet) for _ in range(rng.randrange(0, 200)))


def random_batch(rng):
    """Arguments of the batch mode and the lines it reads: values of the
    source unit, one number a line or three for d, with blank lines, words
    and CR LF among them; sometimes the values as arguments instead."""
    source, target = rng.choice(UNITS), rng.choice(UNITS)
    arguments = ["--from", source.decode(), "--to", target.decode()]
    lines = []
    for _ in range(rng.randrange(1, 30)):
        numbers = [random_number(rng) for _ in range(3 if source == b"d" else 1)]
        if rng.randrange(8) == 0:
            numbers = numbers[: rng.randrange(len(numbers) + 1)] + [rng.choice([b"x", b"1", b"\x1a"])]
        lines.append(b" ".join(numbers) + rng.choice([b"", b"", b"\r", b" "]))
    if rng.randrange(5) == 0:
        return arguments + [value.decode("latin-1") for value in b" ".join(lines).split()], b""
    return arguments, b"\n".join(lines) + rng.choice([b"\n", b""])


# Input nobody should send, each case the arguments and standard input.
HOSTILE = [
    ([], b"rad\n" + b"1" * 3_000_000 + b"\nd\n\n"),
    ([], b"r" * 2_000_000 + b"\n1\nd\n\n"),
    ([], b"a" * 16_000_000),
    ([], b"rad\n\x001\nd\n\n"),
    ([], b"\x00" * 100_000),
    ([], b"\xff\xfe\xc0\x80rad\n1\xe2\x82\n\xc3(d\n\n"),
    ([], b"rad\x1a\n1\nd\n\n"),
    ([], b"rad\n1\x1a2\nd\n\n"),
    ([], b"\x1a" * 1000),
    ([], b"rad\n" * 2_000_000),
    (["--from", "g", "--to", "d"], b"".join(b"%d.5\n" % n for n in range(300_000))),
    (["--from", "rad", "--to", "g"], b"1" * 3_000_000 + b"\n\x00\n\x1a\n\xff\n2\n"),
]


def run(command, data, from_file):
    """Runs one program on `data` as standard input; its output, error and code."""
    if from_file:
        with tempfile.TemporaryFile() as source:
            source.write(data)
            source.seek(0)
            done = subprocess.run(command, stdin=source, capture_output=True, timeout=120)
    else:
        done = subprocess.run(command, input=data, capture_output=True, timeout=120)
    return done.stdout, done.stderr, done.returncode


class Addresses:
    """The pairing of the two programs' addresses for the same statement:
    each must stand for the other in every run."""

    def __init__(self):
        self.reference_to_target = {}
        self.target_to_reference = {}

    def agree(self, reference, target):
        return (self.reference_to_target.setdefault(reference, target) == target
                and self.target_to_reference.setdefault(target, reference) == reference)


def same(reference, target, addresses):
    """True when the two outcomes are the same but for module names and
    paired addresses."""
    if reference[2] != target[2]:
        return False
    for channel in (0, 1):
        reference_parts = REPORT.split(reference[channel])
        target_parts = REPORT.split(target[channel])
        if len(reference_parts) != len(target_parts):
            return False
        # re.split keeps the five groups between the texts around each report.
        for index, (left, right) in enumerate(zip(reference_parts, target_parts)):
            group = index % 6
            if group == 2:
                continue  # the module's name
            if group == 4:
                if not addresses.agree(left, right):
                    return False
                continue
            left_runtime = RUNTIME_ERROR.split(left)
            right_runtime = RUNTIME_ERROR.split(right)
            if len(left_runtime) != len(right_runtime):
                return False
            for part, (a, b) in enumerate(zip(left_runtime, right_runtime)):
                if part % 3 == 2:
                    if not addresses.agree(b"absolute " + a, b"absolute " + b):
                        return False
                elif a != b:
                    return False
    return True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dialogues", type=int, default=500)
    parser.add_argument("--soups", type=int, default=500)
    parser.add_argument("--batches", type=int, default=0)
    parser.add_argument("--hostile", action="store_true")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("reference")
    parser.add_argument("target", nargs="+")
    options = parser.parse_args()
    seed = options.seed if options.seed is not None else int.from_bytes(os.urandom(4), "little")
    rng = random.Random(seed)
    cases = [("dialogue", random_dialogue(rng)) for _ in range(options.dialogues)]
    cases += [("byte soup", random_soup(rng)) for _ in range(options.soups)]
    cases = [(kind, [], data) for kind, data in cases]
    cases += [("batch run", *random_batch(rng)) for _ in range(options.batches)]
    cases = [(kind, arguments, data, index % 2 == 0) for index, (kind, arguments, data) in enumerate(cases)]
    if options.hostile:
        cases += [("hostile input", arguments, data, from_file) for arguments, data in HOSTILE
                  for from_file in (True, False)]

    def outcomes(case):
        _, arguments, data, from_file = case
        target = run(options.target + arguments, data, from_file)
        again = target[2] != 0 and target[0] == target[1] == b""
        if again:
            target = run(options.target + arguments, data, from_file)
        return run([options.reference] + arguments, data, from_file), target, again

    addresses = Addresses()
    failed = 0
    runs_again = 0
    counts = {}
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for case, (reference, target, again) in zip(cases, pool.map(outcomes, cases)):
            kind, arguments, data, from_file = case
            runs_again += again
            counts[(kind, reference[2])] = counts.get((kind, reference[2]), 0) + 1
            if not same(reference, target, addresses):
                failed += 1
                print(f"differs: {kind} {arguments} {data[:200]!r} ({len(data)} bytes) "
                      f"from a {'file' if from_file else 'pipe'}")
                print(f"  x86-64: code {reference[2]}, output {reference[0][-120:]!r}, error {reference[1][-300:]!r}")
                print(f"  target: code {target[2]}, output {target[0][-120:]!r}, error {target[1][-300:]!r}")
    for (kind, code), count in sorted(counts.items()):
        print(f"{count} {kind}s ended with code {code}")
    print(f"{len(addresses.reference_to_target)} failing statements paired by address (seed {seed})")
    print(f"{runs_again} runs made again after ending before their first byte")
    print(f"{len(cases) - failed} cases the same, {failed} different")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
