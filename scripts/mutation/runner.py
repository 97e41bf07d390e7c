"""Running mutants: the build graph says which tests can see a file; each mutant is applied in
the worktree, built, judged by those tests, and taken out again."""

import ctypes
import json
import os
import re
import shlex
import signal
import statistics
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

from . import worktree
from .results import (DETECTED, FINAL, Result, append_result, mutated_text, read_mutants,
                      read_results, read_source)

SLOW_TEST_SECONDS = 2.0  # a test this slow on average runs after the others have passed
CAUGHT_SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


class Interrupted(BaseException):
    pass


def on_signal(signum, _frame):
    raise Interrupted(signal.Signals(signum).name)


def stopped_by_signal(rc):
    """A build or test run that a signal from outside ended (ours end it only on a timeout,
    which reads as None) gives no verdict: the run stops, and that mutant is run again next
    time."""
    if rc is not None and rc < 0 and -rc in CAUGHT_SIGNALS + (signal.SIGKILL,):
        raise Interrupted(f"{signal.Signals(-rc).name} of a child")


def child_setup(parent):
    """In a child before exec: a session of its own, so that its whole group can be ended, and
    SIGTERM when this process dies, even by SIGKILL (ninja and ctest pass it on to theirs)."""
    def setup():
        os.setsid()
        try:
            ctypes.CDLL(None).prctl(1, int(signal.SIGTERM))  # PR_SET_PDEATHSIG
        except (OSError, AttributeError):
            pass
        if os.getppid() != parent:
            os._exit(1)
    return setup


def run_process(cmd, timeout, cwd=None):
    """(exit status or None on timeout, output, seconds); the whole process group is ended on
    timeout and on any exception, a signal's included."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            stdin=subprocess.DEVNULL, preexec_fn=child_setup(os.getpid()),
                            text=True, errors="replace")
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out, time.monotonic() - start
    except subprocess.TimeoutExpired:
        end_group(proc)
        out, _ = proc.communicate()
        return None, out, time.monotonic() - start
    finally:
        if proc.poll() is None:
            end_group(proc)


def end_group(proc):
    for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, None)):
        try:
            os.killpg(proc.pid, sig)
            proc.wait(timeout=wait)
            return
        except (ProcessLookupError, subprocess.TimeoutExpired):
            if proc.poll() is not None:
                return


def output_of(cmd, cwd=None):
    return subprocess.run(cmd, cwd=cwd, check=True, stdout=subprocess.PIPE, text=True).stdout



@dataclass
class TestInfo:
    number: int  # as ctest numbers it
    name: str
    inputs: set  # built files (and sources) it depends on
    sources: list  # source files or folders its arguments name
    always: bool  # it runs for every mutant and needs the whole build
    targets: set  # what to build before running it


class BuildGraph:
    def __init__(self, build, root):
        self.build = Path(build).resolve()
        self.root = Path(root)
        self.outputs = set()
        for raw in output_of(["ninja", "-C", str(self.build), "-t", "targets", "all"]).splitlines():
            target = raw.rsplit(": ", 1)[0]
            self.outputs.add(target)
        self.objects = {}  # source or header -> objects whose dependency record names it
        obj = None
        for raw in output_of(["ninja", "-C", str(self.build), "-t", "deps"]).splitlines():
            if raw and not raw[0].isspace():
                obj = raw.split(": #deps", 1)[0]
            elif raw.strip() and obj:
                self.objects.setdefault(self.absolute(raw.strip()), set()).add(obj)
        self._inputs = {}

    def absolute(self, p):
        return os.path.normpath(os.path.join(self.build, p))

    def output(self, path):
        """The ninja output that a path names, or None."""
        try:
            rel = os.path.relpath(os.path.normpath(path), self.build)
        except ValueError:
            return None
        return rel if rel in self.outputs else None

    def inputs(self, target):
        if target not in self._inputs:
            listed = output_of(["ninja", "-C", str(self.build), "-t", "inputs", target])
            self._inputs[target] = set(listed.split("\n")) - {""} | {target}
        return self._inputs[target]

    def tests(self):
        info = json.loads(output_of(["ctest", "--test-dir", str(self.build),
                                     "--show-only=json-v1"]))
        out = []
        for number, test in enumerate(info.get("tests", []), 1):
            command = test.get("command") or []
            targets, sources, blind = set(), [], False
            values = [a.split("=", 1)[-1] if a.startswith("-D") else a for a in command]
            for value in values:
                if not value.startswith("/"):
                    continue
                path = os.path.normpath(value)
                target = self.output(path)
                if target:
                    targets.add(target)
                elif path == str(self.build) or str(self.build).startswith(path + "/"):
                    blind = True
                elif path.startswith(str(self.root) + "/") and not path.startswith(str(self.build)):
                    sources.append(path)
            always = blind or not targets  # we cannot see what it runs
            inputs = set()
            for target in targets:
                inputs |= self.inputs(target)
            out.append(TestInfo(number, test["name"], inputs, sources, always, targets))
        return out


def first_error(output):
    for pattern in (r".*\b(?:fatal )?error: .*", r"FAILED: .*", r".*\S.*"):
        found = re.search(pattern, output)
        if found:
            return found.group().strip()
    return ""


def judge_build(rc, output):
    """None when the build succeeded, else (status, detail)."""
    stopped_by_signal(rc)
    if rc == 0:
        return None
    if rc is None:
        return "no-build", "build timed out"
    if "Error running test executable" in output:  # a test program failed to list its tests
        timed_out = "Process terminated due to timeout" in output
        failed = re.search(r"FAILED: (\S+)", output)
        return ("timeout" if timed_out else "killed"), "listing the tests of " + (
            failed.group(1) if failed else "a test program")
    return "no-build", first_error(output)


def judge_tests(rc, output, asked):
    """(status, detail) of a ctest run of `asked` tests. Survived only when it ended by itself
    and says that all of them passed: a run cut short is no survivor."""
    stopped_by_signal(rc)
    if rc is None:
        return "timeout", "the tests passed --timeout"
    failed = re.findall(r"^\s*\d+ - (.+?) \(([^)]+)\)\s*$", output.split(
        "The following tests FAILED:")[-1], re.M) if "tests FAILED" in output else []
    if rc == 0 and re.search(rf"tests passed, 0 tests failed out of {asked}\b", output):
        return "survived", ""
    if failed and all(why != "Not Run" for _, why in failed):
        name, why = failed[0]
        return ("timeout" if why == "Timeout" else "killed"), f"{name} ({why})"
    return "error", first_error(output) or f"ctest exit status {rc}"


class Runner:
    def __init__(self, a, root):
        self.a = a
        self.root = root  # the worktree
        self.build = Path(a.build).resolve()
        self.dirty = set()  # built from the last mutant; None: the whole build
        self.graph = None
        self.tests = []
        self.slow = set()

    def ninja(self, targets):
        """Builds the targets; no targets: the whole build."""
        cmd = ["ninja", "-C", str(self.build), f"-j{self.a.jobs}"] + sorted(targets)
        return run_process(cmd, self.a.build_timeout)

    def ctest(self, numbers, timeout):
        cmd = ["ctest", "--test-dir", str(self.build), "--stop-on-failure", "-j",
               str(self.a.jobs)]
        if numbers is not None:
            cmd += ["-I", "0,0,0," + ",".join(map(str, sorted(numbers)))]
        return run_process(cmd, timeout)

    def scope(self):
        """What the baseline and the final rebuild build: the programs of the tests --tests
        keeps, or (empty) the whole build."""
        if not self.a.tests or not self.tests or any(not t.targets for t in self.tests):
            return []
        return sorted(set().union(*(t.targets for t in self.tests)))

    def read_tests(self, required=True):
        self.graph = BuildGraph(self.build, self.root)
        self.tests = self.graph.tests()
        if self.a.tests:
            self.tests = [t for t in self.tests if re.search(self.a.tests, t.name)]
            if not self.tests and required:
                sys.exit(f"no test of this build matches {self.a.tests}")

    def baseline(self):
        # To know what to build; a test program not built yet lists none of its tests, and then
        # everything is built.
        self.read_tests(required=False)
        rc, out, secs = self.ninja(self.scope())
        if rc != 0:
            sys.exit(f"the build fails without any mutant:\n{out[-3000:]}")
        # The build may add tests (a configure step, test lists written after a link), and ctest
        # numbers them in order: they are numbered again from the build they belong to.
        self.read_tests()
        print(f"build up to date ({secs:.0f} s)", flush=True)
        if self.a.skip_baseline:
            self.read_slow_tests()
            return self.a.timeout or 300
        rc, out, secs = self.ctest(None if not self.a.tests else
                                   [t.number for t in self.tests], None)
        if judge_tests(rc, out, len(self.tests))[0] != "survived":
            sys.exit(f"the tests fail without any mutant:\n{out[-3000:]}")
        self.read_slow_tests()
        print(f"whole suite: {len(self.tests)} tests pass in {secs:.0f} s", flush=True)
        return self.a.timeout or max(30.0, 3 * secs)

    def quick_first(self, tests, slow):
        """The numbers of the tests that ctest's record of their cost calls slow, or of the
        others."""
        return [t.number for t in tests if (t.name in self.slow) == slow]

    def read_slow_tests(self):
        """The tests that took at least SLOW_TEST_SECONDS on average in this build's runs."""
        costs = self.build / "Testing" / "Temporary" / "CTestCostData.txt"
        self.slow = set()
        if costs.exists():
            for line in costs.read_text(errors="replace").splitlines():
                if line.startswith("---"):
                    break
                fields = line.split()
                if len(fields) == 3 and float(fields[2]) >= SLOW_TEST_SECONDS:
                    self.slow.add(fields[0])

    def selection(self, path):
        """The tests that can see a change to path, and what to build for them; None when no
        object of this build includes the file."""
        objects = self.graph.objects.get(str(path))
        if not objects:
            return None
        chosen = [t for t in self.tests if t.always or t.inputs & objects
                  or any(str(path) == s or str(path).startswith(s + "/") for s in t.sources)]
        # The tests --tests keeps are taken to need only the programs they name.
        if any(t.always for t in chosen) and not self.scope():
            return chosen, None  # the whole build
        return chosen, set().union(*(t.targets for t in chosen))

    def one(self, m, timeout):
        path = self.root / m.path
        text = read_source(path) if path.exists() else ""
        mutated = mutated_text(m, text)
        if mutated is None:
            return "stale", "the line is not the one drawn", 0.0
        chosen = self.selection(path)
        if chosen is None:
            return "unused", "no object of this build includes the file", 0.0
        tests, targets = chosen
        if not tests:
            return "survived", "no test can see the file", 0.0
        # What the previous mutant built is built again from the restored source.
        build = None if targets is None or self.dirty is None else targets | self.dirty

        def work():
            self.dirty = build
            rc, out, build_secs = self.ninja(build or [])
            verdict = judge_build(rc, out)
            if verdict:
                return verdict + (build_secs,)
            # Most mutants are killed by a quick test; the few slow ones run only when the
            # rest pass, since ctest waits for a running test even after another one failed.
            status, detail, test_secs = "survived", "", 0.0
            for phase in (self.quick_first(tests, slow=False), self.quick_first(tests, slow=True)):
                if phase and status == "survived":
                    rc, out, secs = self.ctest(phase, max(1.0, timeout - test_secs))
                    test_secs += secs
                    status, detail = judge_tests(rc, out, len(phase))
            note = f"{len(tests)} tests, build {build_secs:.0f} s, tests {test_secs:.0f} s"
            return status, (detail + "; " if detail else "") + note, build_secs + test_secs

        return worktree.with_mutant(path, text, mutated, work)

    def run(self):
        mutants = read_mutants(self.a.mutants)
        done = {k for k, r in read_results(self.a.results).items() if r.status in FINAL}
        if self.a.only_detected_in:
            keep = {k for k, r in read_results(self.a.only_detected_in).items()
                    if r.status in DETECTED}
            mutants = [m for m in mutants if m.id in keep]
        todo = [m for m in mutants if m.id not in done]
        print(f"run {os.getpid()}: {len(todo)} of {len(mutants)} mutants to run", flush=True)
        if not todo:
            return
        timeout = self.baseline()
        seconds = []
        try:
            for n, m in enumerate(todo, 1):
                status, detail, secs = self.one(m, timeout)
                # A signal now waits: the line is written whole or not at all.
                signal.pthread_sigmask(signal.SIG_BLOCK, CAUGHT_SIGNALS)
                try:
                    append_result(self.a.results, Result(m.id, status, secs, m.where(), m.kind,
                                                         detail))
                finally:
                    signal.pthread_sigmask(signal.SIG_UNBLOCK, CAUGHT_SIGNALS)
                seconds.append((status, secs))
                print(f"[{n}/{len(todo)}] {m.id} {m.where()} {m.kind} "
                      f"{json.dumps(m.original)} -> {json.dumps(m.replacement)}: {status} "
                      f"({secs:.0f} s) {detail}", flush=True)
        except Interrupted as e:
            print(f"stopped by {e}; the worktree is restored, run the same command to resume. "
                  "The next build recompiles what the last mutant touched.", flush=True)
            raise SystemExit(130)
        rc, out, secs = self.ninja(self.scope())
        print(f"rebuilt from the restored sources ({secs:.0f} s)"
              + ("" if rc == 0 else f", which FAILED:\n{out[-3000:]}"), flush=True)
        print_timing(seconds)


def print_timing(seconds):
    built = [s for st, s in seconds if st not in ("stale", "unused")]
    if built:
        print(f"seconds per mutant: median {statistics.median(built):.0f}, "
              f"mean {statistics.mean(built):.0f}, max {max(built):.0f} over {len(built)}")


def configured_build(a, root):
    """Makes sure --build is a build of the worktree: configured with --configure when it is
    not configured yet, refused when it builds another tree (the live one above all)."""
    cache = Path(a.build) / "CMakeCache.txt"
    if not cache.exists():
        cmd = ["cmake", "-S", str(root), "-B", a.build] + shlex.split(a.configure)
        if subprocess.run(cmd, stdout=subprocess.DEVNULL).returncode != 0:
            sys.exit(f"configuring {a.build} failed: {' '.join(cmd)}")
    home = re.search(r"^CMAKE_HOME_DIRECTORY:INTERNAL=(.*)$", cache.read_text(errors="replace"),
                     re.M)
    if not home or Path(home.group(1)).resolve() != root:
        sys.exit(f"{a.build} builds {home.group(1) if home else 'an unknown tree'}, not the "
                 f"worktree {root}: give a build folder of its own")


def cmd_run(a):
    root = worktree.prepare(a.worktree)
    lock = worktree.take_lock(root)
    if lock is None:
        sys.exit(f"another run is using the worktree {root}")
    configured_build(a, root)
    for s in CAUGHT_SIGNALS:
        if signal.getsignal(s) != signal.SIG_IGN:  # nohup's SIGHUP stays ignored
            signal.signal(s, on_signal)
    try:
        Runner(a, root).run()
    except Interrupted as e:
        print(f"stopped by {e} before the first mutant", flush=True)
        raise SystemExit(130)
