"""Mutation testing: plants one small fault at a time in the C++ sources (in a git worktree of
the live tree's HEAD, never in the live tree) and records whether the test suite notices it.

  draw     a reproducible sample of mutants, written to a text file
  list     the mutants of a file, with their outcome when a results file is given
  show     mutants as diffs against the current source
  run      applies each mutant, rebuilds, runs the tests that can see it, records the outcome
  mark     marks a survivor as equivalent (it changes nothing observable) or unobservable
           (only speed or memory would show it), or back as survived, or stale when the code
           it changes was deleted, with the reason
  summary  killed, survived, no build, timed out, equivalent and unobservable mutants and
           the kill rate, per folder
  compare  the mutants that one results file kills and another does not

A mutant changes one line of a .cpp or .h file:
  relational  < and <=, > and >= swapped      equality   == and != swapped
  arithmetic  binary + and - swapped          logical    && and || swapped
  not         a ! removed                     boolean    true and false swapped
  integer     a decimal literal without suffix: 0 and 1 swapped, any other n becomes n + 1
  increment   ++ and -- swapped               jump       break and continue swapped
  delete      a statement that is only a call or an assignment, deleted
or, drawn only when asked for (draw --kinds), a literal or a table row, which may run on over
the next lines:
  literal     a string literal with its first character changed (the next letter, digit or
              code point; x for other ASCII), emptied, or swapped with the literal in the
              same place of the next row of its table (else of the next element)
  row         a row of a table deleted, or written twice where the table's length is not
              fixed (an array of unstated size, a vector, a list)
A table is a braced list that initialises an array or container being declared, or whose
elements are all braced lists, or a list of single texts outside any other (such as the paths
passed to a call); the double braces of a std::array lead to the list inside.

Operators are not mutated in comments, string or character literals (raw ones included),
preprocessor lines, static_assert, sizeof, alignof, alignas, decltype, noexcept(...),
attributes, operator names or case labels; literals are not mutated in those either, nor in
extern "C", asm, __attribute__, _Pragma or assert. The sources are clang-formatted, and the
lexer reads that layout: a binary operator has a blank on each side, so "a < b" is a
comparison while "vector<int>", "template <class T>", "T&& x" and "-1" are left alone. Where a
token is ambiguous no mutant is made: one that cannot compile is a wasted build. A break
becomes a continue only inside a braced loop of its own function.

Files:
  mutants   "# " comments, then one mutant a line, tab-separated: id, path (from the source
            root), line, column, kind, the first 12 hex digits of the SHA-1 of the line as
            drawn, and the original text and its replacement as JSON strings. The id is a
            hash of the rest, so it names the same mutant in every file. A mutant whose line
            changed since the draw is "stale" and is never applied.
  results   one line per outcome, appended and flushed as the run goes: id, status, seconds,
            path:line, kind, detail (the first failing test, the compiler's first error, or
            an equivalent mutant's reason). The last line of an id counts. Statuses: killed,
            survived, timeout, no-build, stale, unused (no object of this build includes the
            file), equivalent, unobservable, error (the tool could not decide; retried on the
            next run). An equivalent or unobservable mutant is a survivor that no test could
            kill; summary and compare leave both out of the kill rate, as no-build, stale and
            unused mutants are.
"""

import argparse
import difflib
import json
import os
import random
import re
import shlex
import signal
import sys
from pathlib import Path

from .mutators import DEFAULT_KINDS, KINDS, find_mutations
from .results import (DETECTED, NOT_COUNTED, Result, append_result, make_mutant, mutated_text,
                      read_mutants, read_results, read_source, write_mutants)
from .runner import BuildGraph, cmd_run, output_of
from .worktree import DEFAULT_WORKTREE, LIVE

SOURCE_SUFFIXES = (".cpp", ".h")
# A fast build in which nothing changes what a test sees (mutants/README.md says why).
CONFIGURE = ("-G Ninja -DVELMORA_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "
             "'-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g -DNDEBUG' "
             "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache")


def source_lines(text):
    """The lines as the lexer numbers them, without their line breaks."""
    return [line.rstrip("\r") for line in text.split("\n")]

RUN_HELP = """\
For each mutant not yet in RESULTS: apply it in the worktree (--worktree, a git worktree of the
live tree's HEAD, added when missing), rebuild, run the tests that can see it (ctest
--stop-on-failure), record the outcome, restore the file. The live tree is never written to,
so it may be edited meanwhile; its uncommitted changes are not in the worktree. The file is
restored whatever happens (a failed build, a crashed or hung test, an exception, SIGINT,
SIGTERM, SIGHUP); a run killed outright leaves its mutant, and every run starts by resetting the
worktree to HEAD. --build is a build folder of the worktree, configured with --configure when
missing; one inside it (.mutants/worktree/build) whose flags are those of another build shares
that build's compiler cache. One run at a time may use a worktree; two runs go in two
worktrees. A run stopped by a signal, or whose build or tests a signal ended, records nothing
for the mutant of the moment.

Before the first mutant the whole build is brought up to date, the tests are numbered as that
build lists them, and the whole suite is run once: it must pass, and its time sets the default
--timeout (three times it, at least 30 s). After the last mutant everything is rebuilt once
more, so the build folder matches the restored sources. A survivor is a mutant whose tests all
ran and passed, as many as were asked for.

Which tests run: a test whose command is a program of this build runs when that program, or
any program or library it depends on in the build graph (ninja -t inputs, order-only
dependencies such as a program a test starts included), contains an object compiled from the
mutated file (a header counts for every object whose dependency record names it). A test whose
command is something else (cmake -P, python, a shell) runs when one of its arguments names
such a built file or a source folder or file that holds the mutated file; one that names the
build folder itself, or nothing built at all, runs for every mutant, as we cannot see what it
runs. Then only the programs of the chosen tests are rebuilt, plus those built for the previous
mutant, so that nothing built from a mutant outlives it; the whole build when a test of the last
kind is chosen. A test program that starts another program without depending on it in the
build is not seen: give it the dependency (add_dependencies). The chosen tests that took 2 s or
more on average (ctest's record of their cost in the build folder) run last, and only when the
others pass: ctest lets a running test finish even after another one failed.

A mutant is "killed" when a test fails, or when a test program fails while the build lists its
tests; "timeout" when a test times out or the run passes --timeout; "no-build" when the
build fails otherwise or passes --build-timeout.

"""
COST_AND_BACKGROUND = """\
Cost here, in the build that mutants/README.md gives (-O1 without debug information, a
compiler cache, the lld linker, no -Werror): the 440 mutants of mutants/sample.txt took
114 minutes of runs on the suite before it was folded (median 10 s, mean 15 s, at most 113 s
for a header much of the engine includes; load 4 to 9 from other builds; 70 minutes of wall
time, two runs at once for the last part), and the 340 that it killed took 35 minutes of runs
on the folded suite (median 4 s, mean 6 s; 21 minutes of wall time in two runs). The compiler
cache makes the rebuild from a restored file nearly free. At -O2 with debug information and no
cache a mutant took about 25 s (median) and a header up to 318 s. Two runs in two worktrees
(--worktree) of the same commit, each on its own part of the mutants and its own results file, share two cores
well, since a rebuild is mostly one compile and a link; concatenate the results files
afterwards (the last line of an id counts).

In the background (it survives logging out; resume by running the same command again: mutants
already in RESULTS are skipped):
  setsid nohup scripts/mutants.py run mutants/sample.txt --build .mutants/build \\
      --results mutants/baseline.txt > mutants.log 2>&1 < /dev/null &
  tail -f mutants.log    # progress, one line per mutant; the first line gives the PID
  kill -TERM PID         # stop: the worktree is restored, RESULTS stays valid
"""


def source_files(paths):
    out = []
    for p in paths:
        p = (Path.cwd() / p).resolve()
        if p.is_dir():
            out += [f for f in p.rglob("*") if f.suffix in SOURCE_SUFFIXES and f.is_file()]
        elif p.suffix in SOURCE_SUFFIXES and p.is_file():
            out.append(p)
        else:
            sys.exit(f"not a C++ source or folder: {p}")
    files = sorted({f for f in out if f.is_relative_to(LIVE)})
    if len(files) < len(set(out)):
        sys.exit(f"every file must lie under {LIVE}")
    return files


def compiled_lines(build, files):
    """For each file, the lines that this build compiles, as the preprocessor's output of one
    object that includes it shows them; a file that no object includes is absent."""
    graph = BuildGraph(build, LIVE)
    commands = {e["output"]: e for e in json.loads(output_of(
        ["ninja", "-C", str(graph.build), "-t", "compdb"])) if e.get("output", "").endswith(".o")}
    wanted = {str(f): f for f in files}
    live = {}
    for key in wanted:
        if key in live:
            continue
        objects = sorted(o for o in graph.objects.get(key, ()) if o in commands)
        if not objects:
            continue
        entry = commands[objects[0]]
        args, skip = [], False
        for a in shlex.split(entry["command"]):
            if skip:
                skip = False
            elif a in ("-o", "-MF", "-MT", "-MQ"):
                skip = True
            elif a not in ("-c", "-MD", "-MMD"):
                args.append(a)
        text = output_of(args + ["-E", "-o", "-"], cwd=entry["directory"])
        current, line = None, 0
        for raw in text.splitlines():
            marker = re.match(r'# (\d+) "(.*)"', raw)
            if marker:
                current = os.path.normpath(os.path.join(entry["directory"], marker.group(2)))
                line = int(marker.group(1))
                continue
            if current in wanted and raw.strip():
                live.setdefault(current, set()).add(line)
            line += 1
    return {wanted[k]: v for k, v in live.items()}


def cmd_draw(a):
    kinds = set(a.kinds.split(","))
    if not kinds <= set(KINDS):
        sys.exit(f"unknown kinds: {', '.join(sorted(kinds - set(KINDS)))}")
    files = source_files(a.paths)
    live = compiled_lines(a.build, files) if a.build else None
    lines, skipped = [], []
    for f in files:
        if live is not None and f not in live:
            skipped.append(f)
            continue
        text = read_source(f)
        by_line = {}
        for m in find_mutations(text):
            if (m.kind in kinds and (m.in_table or not a.tables)
                    and (live is None or m.line in live[f])):
                by_line.setdefault(m.line, []).append(m)
        rel, texts = f.relative_to(LIVE).as_posix(), source_lines(text)
        lines += [(rel, texts, ms) for _, ms in sorted(by_line.items())]
    rng = random.Random(a.seed)
    chosen = rng.sample(range(len(lines)), min(a.count, len(lines)))
    mutants = []
    for k in sorted(chosen):
        rel, texts, ms = lines[k]
        m = rng.choice(ms)
        mutants.append(make_mutant(rel, m, texts[m.line - 1]))
    write_mutants(a.output, mutants, [
        f"drawn with: scripts/mutants.py draw --seed {a.seed} --count {a.count}"
        + ("" if a.kinds == DEFAULT_KINDS else f" --kinds {a.kinds}")
        + (" --tables" if a.tables else "") + (" --build BUILD" if a.build else "") + " "
        + " ".join(a.paths),
        f"{len(mutants)} mutants from {len(lines)} lines with mutants in "
        f"{len(files) - len(skipped)} files"])
    for f in skipped:
        print(f"left out (this build compiles it nowhere): {f.relative_to(LIVE)}", file=sys.stderr)
    print(f"{a.output}: {len(mutants)} mutants from {len(lines)} lines")


def cmd_list(a):
    results = read_results(a.results) if a.results else {}
    for m in read_mutants(a.mutants):
        r = results.get(m.id)
        status = f"{r.status:<10} " if a.results else ""
        print(f"{m.id} {status}{m.path}:{m.line}:{m.col} {m.kind:<10} "
              f"{json.dumps(m.original)} -> {json.dumps(m.replacement)}"
              + (f"  {r.detail}" if r and r.detail else ""))


def cmd_show(a):
    mutants = {m.id: m for m in read_mutants(a.mutants)}
    for key in a.ids:
        m = mutants.get(key)
        if m is None:
            sys.exit(f"no mutant {key} in {a.mutants}")
        text = read_source(LIVE / m.path)
        mutated = mutated_text(m, text)
        if mutated is None:
            print(f"{m.id}: stale ({m.where()} is not the line drawn)")
            continue
        sys.stdout.writelines(difflib.unified_diff(
            text.splitlines(keepends=True), mutated.splitlines(keepends=True),
            f"a/{m.path}", f"b/{m.path} ({m.id} {m.kind})", n=2))


def cmd_mark(a):
    results = read_results(a.results)
    r = results.get(a.id)
    if r is None or r.status not in ("survived",) + NOT_COUNTED:
        sys.exit(f"{a.id} is not a survivor in {a.results}")
    status, reason = next((s, why) for s, why in (
        ("equivalent", a.equivalent), ("unobservable", a.unobservable),
        ("survived", a.survived), ("stale", a.stale)) if why is not None)
    append_result(a.results, Result(a.id, status, 0.0, r.where, r.kind, reason))


def folder_of(where, depth):
    parts = where.split(":")[0].split("/")
    return "/".join(parts[:min(depth, len(parts) - 1)]) or "."


def cmd_summary(a):
    statuses = ("killed", "timeout", "survived", "equivalent", "unobservable", "no-build",
                "stale", "unused", "error")
    rows = {}
    for r in read_results(a.results).values():
        for key in (folder_of(r.where, a.depth), "all"):
            row = rows.setdefault(key, dict.fromkeys(statuses, 0))
            row[r.status] = row.get(r.status, 0) + 1
    print(f"{'folder':<16}" + "".join(f"{s:>13}" for s in statuses) + "  kill rate")
    for key in sorted(rows, key=lambda k: (k == "all", k)):
        c = rows[key]
        judged = c["killed"] + c["timeout"] + c["survived"]
        rate = f"{100 * (c['killed'] + c['timeout']) / judged:9.1f} %" if judged else "        -"
        print(f"{key:<16}" + "".join(f"{c[s]:>13}" for s in statuses) + "  " + rate)
    print("kill rate: (killed + timeout) / (killed + timeout + survived); equivalent,"
          " unobservable, no-build, stale and unused mutants are not counted")


def cmd_compare(a):
    ra, rb = read_results(a.a), read_results(a.b)
    missed, noted = [], []
    for key, r in sorted(ra.items(), key=lambda kv: kv[1].where):
        if r.status not in DETECTED:
            continue
        other = rb.get(key)
        if other and other.status == "survived":
            missed.append((r, other))
        elif other is None or other.status not in DETECTED:
            noted.append((r, other))
    print(f"killed by {a.a} and not by {a.b}: {len(missed)}")
    for r, o in missed:
        print(f"  {r.id} {r.where} {r.kind}: {r.detail}")
    if noted:
        print(f"killed by {a.a}, and in {a.b} neither killed nor survived: {len(noted)}")
        for r, o in noted:
            print(f"  {r.id} {r.where} {r.kind}: {o.status + ' ' + o.detail if o else 'not run'}")
    return 1 if missed else 0


def main():
    p = argparse.ArgumentParser(description=__doc__,
                                formatter_class=argparse.RawDescriptionHelpFormatter,
                                epilog=COST_AND_BACKGROUND + "\nrun --help: which tests run.")
    sub = p.add_subparsers(dest="command", required=True)
    d = sub.add_parser("draw", help="write a sample of mutants",
                       description="Each line of code that has a mutant is equally likely; "
                       "then one of that line's mutants. Same seed and same sources, same file.")
    d.add_argument("paths", nargs="+", help="C++ files or folders (searched recursively)")
    d.add_argument("--seed", type=int, required=True)
    d.add_argument("--count", type=int, required=True, help="at most one mutant per line")
    d.add_argument("--build", help="a configured and built folder: draw only from lines that "
                   "it compiles (the other platform's files and #if branches left out)")
    d.add_argument("-o", "--output", required=True, help="the mutants file to write")
    d.add_argument("--kinds", default=DEFAULT_KINDS, metavar="KIND,...",
                   help=f"the kinds to draw from (default: {DEFAULT_KINDS}; also literal, row)")
    d.add_argument("--tables", action="store_true",
                   help="only mutants inside tables: their rows and the literals they hold")
    r = sub.add_parser("run", help="run the mutants", description=RUN_HELP + COST_AND_BACKGROUND,
                       formatter_class=argparse.RawDescriptionHelpFormatter)
    r.add_argument("mutants")
    r.add_argument("--build", required=True,
                   help="a ninja build folder of the worktree (configured when missing)")
    r.add_argument("--worktree", default=str(DEFAULT_WORKTREE),
                   help="the git worktree the mutants go into (default: %(default)s)")
    r.add_argument("--configure", default=CONFIGURE, metavar="ARGS",
                   help="cmake's arguments for a build folder not configured yet (default: "
                   "%(default)s)")
    r.add_argument("--results", required=True, help="appended to; mutants in it are skipped")
    r.add_argument("--timeout", type=float, help="seconds for one mutant's tests")
    r.add_argument("--build-timeout", type=float, default=900.0, help="seconds (default 900)")
    r.add_argument("--jobs", type=int, default=2, help="for ninja and ctest (default 2)")
    r.add_argument("--only-detected-in", metavar="RESULTS",
                   help="run only the mutants that RESULTS records as killed or timed out")
    r.add_argument("--tests", metavar="REGEX",
                   help="run only the tests whose name matches (a search), and build only "
                   "the programs they name, even for a test whose arguments name the source "
                   "root; for the mutants of a part whose tests are known")
    r.add_argument("--skip-baseline", action="store_true",
                   help="do not run the whole suite first (default --timeout: 300 s)")
    ls = sub.add_parser("list", help="the mutants of a file")
    ls.add_argument("mutants")
    ls.add_argument("--results")
    s = sub.add_parser("show", help="mutants as diffs")
    s.add_argument("mutants")
    s.add_argument("ids", nargs="+")
    mk = sub.add_parser("mark", help="mark a survivor equivalent, unobservable and so on",
                        description="Appends a line with the new status and its reason; delete "
                        "it to undo.")
    mk.add_argument("results")
    mk.add_argument("id")
    why = mk.add_mutually_exclusive_group(required=True)
    why.add_argument("--equivalent", metavar="REASON", help="it changes nothing observable")
    why.add_argument("--unobservable", metavar="REASON",
                     help="only speed or memory would show it")
    why.add_argument("--survived", metavar="REASON",
                     help="a survivor after all (why it is not equivalent or unobservable)")
    why.add_argument("--stale", metavar="REASON",
                     help="the code it changes was deleted (dead code), so it cannot be applied")
    sm = sub.add_parser("summary", help="outcomes and kill rate per folder")
    sm.add_argument("results")
    sm.add_argument("--depth", type=int, default=1, help="folder levels (default 1)")
    c = sub.add_parser("compare", help="mutants that A kills and B does not (exit 1 if any)")
    c.add_argument("a")
    c.add_argument("b")
    a = p.parse_args()
    if a.command != "run":
        signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # "| head" ends the listing quietly
    handler = {"draw": cmd_draw, "run": cmd_run, "list": cmd_list, "show": cmd_show,
               "mark": cmd_mark, "summary": cmd_summary, "compare": cmd_compare}[a.command]
    sys.exit(handler(a) or 0)
