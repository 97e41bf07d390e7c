"""The mutants file and the results file: reading, writing, and the statuses that count."""

import hashlib
import json
import os
import sys
from dataclasses import dataclass
from pathlib import Path

@dataclass
class Mutant:
    id: str
    path: str  # from the source root, with /
    line: int
    col: int
    kind: str
    line_hash: str
    original: str
    replacement: str

    def where(self):
        return f"{self.path}:{self.line}"


def line_hash(line):
    return hashlib.sha1(line.encode()).hexdigest()[:12]


def make_mutant(path, m, line):
    h = line_hash(line)
    key = "\0".join((path, str(m.line), str(m.col), m.kind, h, m.replacement))
    return Mutant(hashlib.sha1(key.encode()).hexdigest()[:10], path, m.line, m.col, m.kind, h,
                  m.original, m.replacement)


def write_mutants(path, mutants, comments):
    with open(path, "w", encoding="utf-8") as f:
        for c in comments:
            f.write(f"# {c}\n")
        f.write("# id\tpath\tline\tcolumn\tkind\tline sha1\toriginal\treplacement\n")
        for m in mutants:
            f.write("\t".join((m.id, m.path, str(m.line), str(m.col), m.kind, m.line_hash,
                               json.dumps(m.original, ensure_ascii=False),
                               json.dumps(m.replacement, ensure_ascii=False))) + "\n")


def read_mutants(path):
    out = []
    for n, raw in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        if raw.startswith("#") or not raw.strip():
            continue
        f = raw.split("\t")
        if len(f) != 8:
            sys.exit(f"{path}:{n}: expected 8 tab-separated fields, found {len(f)}")
        out.append(Mutant(f[0], f[1], int(f[2]), int(f[3]), f[4], f[5], json.loads(f[6]),
                          json.loads(f[7])))
    return out


@dataclass
class Result:
    id: str
    status: str
    seconds: float
    where: str
    kind: str
    detail: str


DETECTED = ("killed", "timeout")
# Survivors that no test could kill: left out of the kill rate.
NOT_COUNTED = ("equivalent", "unobservable")
FINAL = ("killed", "survived", "timeout", "no-build", "stale", "unused") + NOT_COUNTED


def read_results(path):
    """The last result of each id."""
    out = {}
    if not Path(path).exists():
        return out
    for raw in Path(path).read_text(encoding="utf-8").splitlines():
        if raw.startswith("#") or not raw.strip():
            continue
        f = raw.split("\t") + [""] * 6
        out[f[0]] = Result(f[0], f[1], float(f[2] or 0), f[3], f[4], f[5])
    return out


def append_result(path, r):
    detail = " ".join(r.detail.split())[:300]
    new = not Path(path).exists()
    with open(path, "a", encoding="utf-8") as f:
        if new:
            f.write("# id\tstatus\tseconds\tpath:line\tkind\tdetail\n")
        f.write(f"{r.id}\t{r.status}\t{r.seconds:.1f}\t{r.where}\t{r.kind}\t{detail}\n")
        f.flush()
        os.fsync(f.fileno())


def read_source(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


def mutated_text(m, text):
    """The source with the mutant applied, or None when its line is not the one drawn (or the
    text it changes, which may run on over the next lines, is not the one drawn)."""
    lines = text.split("\n")
    if m.line > len(lines) or line_hash(lines[m.line - 1].rstrip("\r")) != m.line_hash:
        return None
    start = sum(len(line) + 1 for line in lines[:m.line - 1]) + m.col - 1
    if text[start:start + len(m.original)] != m.original:
        return None
    return text[:start] + m.replacement + text[start + len(m.original):]
