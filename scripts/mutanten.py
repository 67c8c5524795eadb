#!/usr/bin/env python3
"""Measures how many planted faults the test suite catches.

Plants one fault at a time into the library's sources (flip + and -, * and /,
< and <=, > and >=, == and !=, && and ||; nudge a number), rebuilds, runs the
whole suite and counts the faults it catches. The sites are drawn with a
fixed seed, so two runs on the same library sources plant the same faults:
run it before and after a change to the tests and compare.

    scripts/mutanten.py [--seed 13] [--anzahl 40] [--build build-mutanten]
                        [--ergebnis mutanten.tsv] [--nur-liste]

It works on the checkout it lives in and puts every source file back after
each fault (also on Ctrl-C). A fault that does not compile does not count;
the next site is drawn until --anzahl faults have been built and run. Use a
separate checkout (git worktree) if you want to go on working meanwhile.
"""

import argparse
import os
import random
import re
import subprocess
import sys
import time

# The library's folders: the code the suite is there to guard.
ORDNER = ["core", "model", "physics", "tables", "climate", "location", "channel", "output"]

WURZEL = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def maskiere(text):
    """The text with comments, string and character literals blanked out, so
    operators are only found in code; offsets stay those of the original."""
    aus = list(text)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif c == '"' or c == "'":
            if c == '"' and i > 0 and text[i - 1] == "R":  # raw string R"x(...)x"
                k = text.find("(", i)
                ende = ")" + text[i + 1:k] + '"'
                j = text.find(ende, k)
                j = n if j < 0 else j + len(ende)
            else:
                j = i + 1
                while j < n and text[j] != c:
                    j += 2 if text[j] == "\\" else 1
                j += 1
        elif c == "#" and (i == 0 or text[i - 1] == "\n"):  # preprocessor line
            j = text.find("\n", i)
            j = n if j < 0 else j
        else:
            i += 1
            continue
        for k in range(i, min(j, n)):
            if aus[k] != "\n":
                aus[k] = " "
        i = j
    return "".join(aus)


# (kind, pattern on the masked text, replacement of the matched operator)
OPERATOREN = [
    ("+/-", re.compile(r"(?<=[\w\)\]] )\+(?= [\w\(])"), "-"),
    ("+/-", re.compile(r"(?<=[\w\)\]] )-(?= [\w\(])"), "+"),
    ("*//", re.compile(r"(?<=[\w\)\]] )\*(?= [\w\(])"), "/"),
    ("*//", re.compile(r"(?<=[\w\)\]] )/(?= [\w\(])"), "*"),
    ("</<=", re.compile(r"(?<= )<(?= )"), "<="),
    ("</<=", re.compile(r"(?<= )<=(?= )"), "<"),
    ("</<=", re.compile(r"(?<= )>(?= )"), ">="),
    ("</<=", re.compile(r"(?<= )>=(?= )"), ">"),
    ("==/!=", re.compile(r"(?<= )==(?= )"), "!="),
    ("==/!=", re.compile(r"(?<= )!=(?= )"), "=="),
    ("&&/||", re.compile(r"(?<= )&&(?= )"), "||"),
    ("&&/||", re.compile(r"(?<= )\|\|(?= )"), "&&"),
]
ZAHL = re.compile(r"(?<![\w.])(\d+\.\d*(?:[eE][-+]?\d+)?|\d+[eE][-+]?\d+|\d+)([fFuUlL]*)(?![\w.])")


def stupse(zahl):
    """A nudged number of the same kind: an integer one more, a real 1 % larger."""
    if re.fullmatch(r"\d+", zahl):
        return str(int(zahl) + 1)
    wert = float(zahl)
    neu = wert * 1.01 if wert != 0.0 else 0.01
    text = repr(neu)
    return text if ("." in text or "e" in text) else text + ".0"


def stellen():
    """Every site a fault can be planted at, in a fixed order."""
    alle = []
    for ordner in ORDNER:
        pfad = os.path.join(WURZEL, ordner)
        if not os.path.isdir(pfad):
            continue
        for name in sorted(os.listdir(pfad)):
            if not name.endswith(".cpp"):
                continue
            datei = os.path.join(ordner, name)
            with open(os.path.join(WURZEL, datei), encoding="utf-8") as f:
                text = f.read()
            maske = maskiere(text)
            for art, muster, ersatz in OPERATOREN:
                for m in muster.finditer(maske):
                    alle.append((datei, m.start(), m.end(), art, m.group(0), ersatz))
            for m in ZAHL.finditer(maske):
                # Array bounds and loop limits of 0 and 1 are mostly indices:
                # still faults, but nudged they rarely compile differently.
                alle.append((datei, m.start(1), m.end(1), "Zahl", m.group(1), stupse(m.group(1))))
    # Sorted by file name, not path: moving a file to another folder draws the same sites.
    alle.sort(key=lambda st: (os.path.basename(st[0]), st[1], st[3]))
    return alle


def zeile_von(datei, pos):
    with open(os.path.join(WURZEL, datei), encoding="utf-8") as f:
        return f.read(pos).count("\n") + 1


def baue(build, protokoll=None):
    """Builds everything; a failed build is tried once more, so that only a
    fault that really does not compile is passed over."""
    for _ in range(2):
        r = subprocess.run(["cmake", "--build", build, "-j", str(os.cpu_count() or 2)],
                           cwd=WURZEL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if r.returncode == 0:
            return True
    if protokoll:
        with open(protokoll, "a", encoding="utf-8") as f:
            f.write(r.stdout[-4000:] + "\n")
    return False


def pruefe(build):
    """Runs the suite; returns the names of the failing tests (empty: all passed)."""
    r = subprocess.run(["ctest", "-j", str(os.cpu_count() or 2), "--timeout", "180", "--stop-on-failure"],
                       cwd=os.path.join(WURZEL, build), stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                       text=True)
    if r.returncode == 0:
        return []
    namen = re.findall(r"Test\s+#\d+: (\S+) \.*\**\s*(?:Failed|Timeout|Exception|Not Run|SEGFAULT|Subprocess)",
                       r.stdout)
    return namen or ["(Suite fehlgeschlagen)"]


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--seed", type=int, default=13)
    p.add_argument("--anzahl", type=int, default=40)
    p.add_argument("--build", default="build-mutanten")
    p.add_argument("--ergebnis", default="mutanten.tsv")
    p.add_argument("--nur-liste", action="store_true", help="only list the drawn sites")
    a = p.parse_args()

    alle = stellen()
    reihenfolge = list(range(len(alle)))
    random.Random(a.seed).shuffle(reihenfolge)
    print(f"{len(alle)} Stellen in {', '.join(ORDNER)}; Seed {a.seed}", file=sys.stderr)

    if a.nur_liste:
        for i in reihenfolge[:a.anzahl]:
            d, s, e, art, alt, neu = alle[i]
            print(f"{d}:{zeile_von(d, s)}\t{art}\t{alt} -> {neu}")
        return 0

    build = os.path.join(WURZEL, a.build)
    if not os.path.isdir(build):
        subprocess.run(["cmake", "-S", WURZEL, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                        "-DTERVAL_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)
    if not baue(build) or pruefe(build):
        print("Die Suite muss ohne Fehler erst einmal grün sein.", file=sys.stderr)
        return 1

    gefangen = gelaufen = 0
    with open(a.ergebnis, "w", encoding="utf-8") as aus:
        aus.write("nr\tstelle\tart\tfehler\tergebnis\terster_test\n")
        for nr, i in enumerate(reihenfolge, 1):
            if gelaufen == a.anzahl:
                break
            d, s, e, art, alt, neu = alle[i]
            pfad = os.path.join(WURZEL, d)
            with open(pfad, encoding="utf-8") as f:
                original = f.read()
            stelle = f"{d}:{zeile_von(d, s)}"
            try:
                with open(pfad, "w", encoding="utf-8") as f:
                    f.write(original[:s] + neu + original[e:])
                t0 = time.time()
                if not baue(build, a.ergebnis + ".baufehler"):
                    ergebnis, tests = "nicht übersetzbar", []
                else:
                    tests = pruefe(build)
                    gelaufen += 1
                    ergebnis = "gefangen" if tests else "überlebt"
                    gefangen += bool(tests)
            finally:
                with open(pfad, "w", encoding="utf-8") as f:
                    f.write(original)
                os.utime(pfad)  # make sure the next build sees the original again
            aus.write(f"{nr}\t{stelle}\t{art}\t{alt} -> {neu}\t{ergebnis}\t{tests[0] if tests else ''}\n")
            aus.flush()
            print(f"[{gelaufen}/{a.anzahl}] {stelle} {alt} -> {neu}: {ergebnis} ({time.time() - t0:.0f} s)",
                  file=sys.stderr)
    baue(build)
    print(f"Gefangen: {gefangen} von {gelaufen}", file=sys.stderr)
    print(f"{gefangen}/{gelaufen}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
