#!/usr/bin/env python3
"""Finds and applies the one-token faults scripts/mutants measures the tests with.

  mutants.py draw N SEED FILE...   prints N sites drawn from the files, one a line:
                                   file, line, column, token, replacement, tab-separated
  mutants.py apply FILE LINE COL TOKEN REPLACEMENT
                                   writes that one change into the file
"""
import random
import re
import sys

SWAPS = {"==": "!=", "!=": "==", "<": ">=", ">": "<=", "<=": ">", ">=": "<",
         "&&": "||", "||": "&&", "true": "false", "false": "true"}

# Only operators standing between spaces: a template's or an include's angle brackets, "->",
# "<<" and ">>" never do, and "&&" so written is never an rvalue reference in this code.
SPACED = re.compile(r"(?<= )(==|!=|<=|>=|<|>|&&|\|\|)(?= )")
# "a==b" is rare here but is still a comparison; "operator==" is a declaration, not one.
UNSPACED_EQ = re.compile(r"(?<![=!<>])(==|!=)(?!=)")
WORD = re.compile(r"\b(true|false)\b")
# "+ 1", "+1", "- 1", "-1", with the 1 a whole literal (not 10, 1.5, 1u or 1e3).
ONE = re.compile(r"(?<![+\-])([+\-])( ?)1(?![\w.'])")


def blank_literals(text):
    """The text with comments, string and character literals and preprocessor lines blanked
    out (newlines kept), so positions still line up with the file."""
    out = list(text)
    i, n = 0, len(text)
    line_start = True

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if c == "\n":
            line_start = True
            i += 1
            continue
        if line_start and c in " \t":
            i += 1
            continue
        if line_start and c == "#":
            # A directive, with its continuation lines.
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            blank(i, j)
            i = j
            continue
        line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == '"' and i > 0 and text[i - 1] == "R":
            m = re.compile(r'"([^()\\ ]{0,16})\(').match(text, i)
            end = text.find(")" + m.group(1) + '"', m.end()) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            blank(i, j)
            i = j
        elif c in "\"'":
            if c == "'" and re.search(r"(?<![\w'])\d[\w']*$", text[max(0, i - 40):i]):
                i += 1  # a digit separator, not a character literal
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            blank(i, j)
            i = j
        else:
            i += 1
    return "".join(out)


def sites_in(path):
    with open(path, encoding="utf-8", errors="surrogateescape", newline="") as f:
        code = blank_literals(f.read())
    found = set()
    for lineno, line in enumerate(code.split("\n"), start=1):
        for m in SPACED.finditer(line):
            found.add((m.start(1), m.group(1)))
        for m in UNSPACED_EQ.finditer(line):
            if not re.search(r"\boperator\s*$", line[:m.start()]):
                found.add((m.start(1), m.group(1)))
        for m in WORD.finditer(line):
            found.add((m.start(1), m.group(1)))
        for m in ONE.finditer(line):
            before = line[:m.start()]
            # The exponent of 1e+1 is part of a number, not an addition.
            if re.search(r"(?<![\w.])\d[\w.]*[eE]$", before):
                continue
            token = m.group(0)
            found.add((m.start(), token))
        for col, token in sorted(found):
            if token in SWAPS:
                repl = SWAPS[token]
            else:
                repl = ("-" if token[0] == "+" else "+") + token[1:]
            yield (path, lineno, col + 1, token, repl)
        found.clear()


def draw(count, seed, paths):
    sites = [s for p in sorted(paths) for s in sites_in(p)]
    chosen = random.Random(seed).sample(sites, min(count, len(sites)))
    for path, line, col, token, repl in sorted(chosen):
        print(f"{path}\t{line}\t{col}\t{token}\t{repl}")
    print(f"{len(chosen)} of the {len(sites)} sites drawn (seed {seed})", file=sys.stderr)


def apply(path, line, col, token, repl):
    with open(path, encoding="utf-8", errors="surrogateescape", newline="") as f:
        lines = f.read().split("\n")
    text = lines[line - 1]
    at = col - 1
    if text[at:at + len(token)] != token:
        sys.exit(f"mutants.py: {path}:{line}:{col} does not hold '{token}'")
    lines[line - 1] = text[:at] + repl + text[at + len(token):]
    with open(path, "w", encoding="utf-8", errors="surrogateescape", newline="") as f:
        f.write("\n".join(lines))


def main(argv):
    if len(argv) >= 3 and argv[0] == "draw":
        draw(int(argv[1]), int(argv[2]), argv[3:])
    elif len(argv) == 6 and argv[0] == "apply":
        apply(argv[1], int(argv[2]), int(argv[3]), argv[4], argv[5])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
