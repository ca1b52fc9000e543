#!/usr/bin/env python3
"""Runs vostrel-convert over a large made-up archive of Scala scales in one batch.

    python3 scripts/scala_batch.py build/vostrel-convert [COUNT] [SEED]

Makes COUNT (default 2000) .scl files in a temporary folder: valid scales of several kinds
(cents, ratios, both, text right after the values, Windows line ends), scales that convert with
a warning (a degree far from its place, a decimal comma), broken ones of every refusal class,
and a few inputs named like others in a second folder. Converts them all in one run, converts
the host files back with --to-scl, and prints what each kind became, the messages by class, and
the largest difference between a pitch as made and as read back. Exit status 1 when an input
did not end as its kind expects. The folder is removed at the end.
"""
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time
from collections import Counter

JUST = ["16/15", "9/8", "6/5", "5/4", "4/3", "45/32", "3/2", "8/5", "5/3", "9/5", "15/8"]
TAILS = ["!", "! B", "!C#", "!Low_C3=131.4", "cents", "x", "'", ";E", "/", ".5"]

# Messages by class: the first pattern a message matches names it.
CLASSES = [
    ("warning: far degree", r"degree \d+ is .* from its place"),
    ("not 12 pitches", r"only scales of 12"),
    ("period not 2/1", r"the period .* is not 2/1"),
    ("pitch missing", r"pitch \d+ is missing"),
    ("not a number", r'" is not a number$'),
    ("not a ratio or cents", r"is not a ratio or a number of cents"),
    ("not a positive ratio", r"is not a positive ratio"),
    ("too large", r"too large to be a pitch"),
    ("file ends early", r"the file ends before"),
    ("bad count", r"number of pitches"),
    ("NUL byte", r"NUL byte"),
    ("line too long", r"longer than 4095"),
    ("output exists", r"was written from .* in this run|exists already"),
]


def cents(ratio_text):
    n, _, d = ratio_text.partition("/")
    return 1200 * math.log2(int(n) / int(d or 1))


def value_cents(pitch):
    """The value at the start of a pitch, in cents: decimal cents, else a ratio."""
    m = re.match(r"[-+]?\d*\.\d*", pitch)
    if m and re.search(r"\d", m.group()):
        return float(m.group())
    return cents(re.match(r"\d+(/\d+)?", pitch).group())


def scale(lines, count="12", head="! made\n!\nMade scale\n"):
    return head + " " + count + "\n!\n" + "".join(" " + p + "\n" for p in lines)


def valid(kind, rnd):
    """A convertible scale: (text, cents of degrees 1 to 11, expected outcome)."""
    values = [100 * k + rnd.uniform(-30, 30) for k in range(1, 12)]
    lines = ["%.*f" % (rnd.randint(1, 6), v) for v in values]
    if kind in ("ratios", "mixed", "text after"):
        for k in range(11):
            if kind == "ratios" or rnd.random() < 0.5:
                lines[k] = JUST[k]
    if kind == "text after":
        lines = [p + rnd.choice(TAILS) for p in lines]
    expected = "converted"
    if kind == "far degree":
        k = rnd.randrange(11)
        lines[k] = "%.3f" % (100 * (k + 1) + rnd.choice([-1, 1]) * rnd.uniform(101, 500))
        expected = "warned"
    if kind == "decimal comma":
        k = rnd.randrange(11)
        lines[k] = "%d,%d" % (100 * (k + 1), rnd.randrange(10))
        expected = "warned"
    got = [value_cents(p) for p in lines]
    text = scale(lines + [rnd.choice(["2/1", "2", "1200.0", "2/1!Low_C3=131.4"])])
    if kind == "windows":
        text = text.replace("\n", "\r\n")
    return text, got, expected


BROKEN = {
    "not 12 pitches": lambda r: scale(["%d.0" % (100 * k) for k in range(1, 8)], "7"),
    "period not 2/1": lambda r: scale(JUST + [r.choice(["3/1", "1200.5", "1901.955"])]),
    "pitch missing": lambda r: scale(JUST[:4]) + "\n",
    "not a number": lambda r: scale(JUST[:3] + [r.choice([".", "-.", ".!x"])]),
    "not a ratio or cents": lambda r: scale([r.choice(["x3/2", "~200.0", "+3/2", "abc"])]),
    "not a positive ratio": lambda r: scale(JUST[:5] + [r.choice(["-3/2", "0/1", "3/0"])]),
    "too large": lambda r: scale(JUST[:2] + [r.choice(["9" * 400, "1/" + "7" * 400])]),
    "file ends early": lambda r: scale(JUST[: r.randrange(11)]),
    "bad count": lambda r: scale(JUST, r.choice(["twelve", "", "12.0"])),
    "NUL byte": lambda r: "Made\n 12\n 100.0\0\n",
    "line too long": lambda r: "! " + "x" * 5000 + "\nMade\n",
}

VALID = ["cents", "ratios", "mixed", "text after", "windows", "far degree", "decimal comma"]


def make(folder, count, rnd):
    """Writes the scales; answers {path: (expected outcome, cents or None)}."""
    kinds = VALID * 3 + list(BROKEN)
    made = {}
    for i in range(count):
        kind = kinds[i % len(kinds)]
        name = os.path.join(folder, "%04d %s.scl" % (i, kind.replace("/", "")))
        if kind in BROKEN:
            text, got, expected = BROKEN[kind](rnd), None, kind
        else:
            text, got, expected = valid(kind, rnd)
        with open(name, "w", newline="") as f:
            f.write(text)
        made[name] = (expected, got)
    # The same names again in another folder: refused, naming the first.
    os.mkdir(os.path.join(folder, "again"))
    for name in [n for n, e in made.items() if e[0] == "converted"][:10]:
        copy = os.path.join(folder, "again", os.path.basename(name))
        shutil.copy(name, copy)
        made[copy] = ("output exists", None)
    return made


def message_class(text):
    for name, pattern in CLASSES:
        if re.search(pattern, text):
            return name
    return "other: " + text


def main():
    converter = os.path.abspath(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 2000
    rnd = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 18)
    work = tempfile.mkdtemp(prefix="vostrel-batch-")
    try:
        os.chdir(work)
        os.mkdir("in")
        os.mkdir("out")
        os.mkdir("back")
        made = make("in", count, rnd)
        start = time.monotonic()
        run = subprocess.run([converter, "--output-dir", "out"] + list(made),
                             capture_output=True, text=True, errors="replace")
        seconds = time.monotonic() - start
        messages = {}
        for line in run.stderr.splitlines():
            path = next((p for p in made if line.startswith(p + ": ")), "?")
            messages.setdefault(path, []).append(line[len(path) + 2:])
        by_class = Counter(message_class(m) for ms in messages.values() for m in ms)
        back = subprocess.run([converter, "--to-scl", "--output-dir", "back"] +
                              sorted("out/" + f for f in os.listdir("out")),
                              capture_output=True, text=True)
        worst, wrong = 0.0, []
        for path, (expected, got) in made.items():
            stem = os.path.basename(path)[:-4]
            written = os.path.exists("out/%s.Temperament.Hauptwerk.xml" % stem)
            kinds = [message_class(m) for m in messages.get(path, [])]
            if written and path.startswith("in/again"):
                written = False  # the file is the first input's
            outcome = ("warned" if kinds else "converted") if written else (kinds or ["?"])[0]
            if outcome != expected:
                wrong.append("%s: expected %s, got %s %s" % (path, expected, outcome,
                                                          messages.get(path)))
            if written and got:
                with open("back/%s.scl" % stem) as f:
                    read = [float(l) for l in f.read().splitlines()[5:16]]
                worst = max([worst] + [abs(a - b) for a, b in zip(read, got)])
        outcomes = Counter(e for e, _ in made.values())
        print("inputs %d in one run: %.2f s, exit status %d" % (len(made), seconds,
                                                                 run.returncode))
        print("host files written %d (converted %d, with a warning %d)" % (
            len(os.listdir("out")), outcomes["converted"], outcomes["warned"]))
        print("back to .scl: %d files, exit status %d, largest difference %.2e cents" % (
            len(os.listdir("back")), back.returncode, worst))
        print("inputs by kind: " + ", ".join("%s %d" % kv for kv in sorted(outcomes.items())))
        print("messages by class: " + ", ".join("%s %d" % kv for kv in sorted(by_class.items())))
        print("inputs not ending as expected: %d" % len(wrong))
        for w in wrong[:10]:
            print("  " + w)
        return 1 if wrong or back.returncode else 0
    finally:
        os.chdir("/")
        shutil.rmtree(work)


if __name__ == "__main__":
    sys.exit(main())
