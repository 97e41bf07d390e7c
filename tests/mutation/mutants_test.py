#!/usr/bin/env python3
"""Which tokens the mutation tool mutates, that a mutated file always comes back and never
lands in the live tree, and that only a whole test run makes a survivor."""

import argparse
import contextlib
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
from mutation import cli, mutators, results, runner, worktree  # noqa: E402

# C++ and the mutants it must give, in column order, of the kinds named (the default ones when
# none are): "body" is a function's body, "code" a whole file; "why" says what a case is for.
CASES = json.loads((Path(__file__).parent / "data" / "mutants.json").read_text(encoding="utf-8"))


# The shapes of this codebase's tables, each mutant of which must compile: rows in braces, made
# by a call, by a macro (several to a line), fixed-size arrays, a std::array in double braces,
# rows holding lists, a generated table of joined texts, lists of paths in a loop and a call.
PRELUDE = r"""#include <array>
#include <string_view>
#define WTEXT(s) u##s
#define FIELD(name) Row{WTEXT(#name), 0}
struct Row { const char16_t* label; int n; };
constexpr Row TextRow(const char16_t* label, int n) { return {label, n}; }
struct Ids { std::string_view key; std::array<std::string_view, 2> fields; };
"""
TABLES = r"""constexpr Row kPairs[] = {
    {WTEXT("名称："), 1},
    {WTEXT("类型："), 2},
};
constexpr Row kFill[] = {TextRow(WTEXT("a\x41"), 1), TextRow(WTEXT("%d KB"), 2)};
constexpr Row kMacro[] = {FIELD(osName), FIELD(osType),
                          FIELD(upTime)};
constexpr std::array<std::string_view, 3> kTypes = {"", "Other", "Unknown"};
constexpr std::array<Row, 2> kRuns = {{{u"PCI", 1}, {u"AGP", 2}}};
constexpr Ids kIds[] = {{"ModemList", {"name", "deviceType"}}, {"PrinterList", {"name"}}};
const char16_t* const kBuckets[2] = {
    WTEXT("0800949ksc_5601"),  // 0
    WTEXT("1920932cseucp")
    WTEXT("0920003x-cp20003"),
};
int Use(std::initializer_list<std::string_view> paths) {
  int n = 0;
  for (std::string_view path : {"/run/utmp", "/var/run/utmp"}) n += static_cast<int>(path.size());
  return n + static_cast<int>(paths.size()) + Use({"/etc/os-release", "/usr/lib/os-release"});
}
"""


def described(text, kinds=mutators.DEFAULT_KINDS):
    return ", ".join(f"{m.original} -> {m.replacement}".strip() if m.kind != "delete"
                     else f"{m.original[:25]} ->" for m in mutators.find_mutations(text)
                     if m.kind in kinds.split(","))


class MutantsTest(unittest.TestCase):
    def test_mutants_of_each_code(self):
        for n, case in enumerate(CASES):
            # A misspelt key would leave its part of the case unread, the check made on defaults.
            self.assertIn("expected", case, f"case {n}")
            self.assertEqual(len({"body", "code"} & case.keys()), 1, f"case {n}: body or code")
            self.assertLessEqual(case.keys(), {"expected", "body", "code", "kinds", "why"},
                                 f"case {n}")
            code = case.get("code") or "#include <a>\nvoid f() {\n" + case["body"] + "\n}\n"
            with self.subTest(case=n, code=code):
                kinds = case.get("kinds", mutators.DEFAULT_KINDS)
                self.assertEqual(described(code, kinds), case["expected"])

    def test_changed_characters(self):
        self.assertEqual(mutators.changed_character("\u4e2d") + mutators.changed_character("\ud7ff")
                         + mutators.changed_character("-"), "\u4e2e\ud7fex")

    @unittest.skipUnless(shutil.which(os.environ.get("CXX", "c++")), "no C++ compiler")
    def test_every_table_mutant_compiles(self):
        found = [m for m in mutators.find_mutations(TABLES) if m.kind in ("row", "literal")]
        self.assertTrue(all(m.in_table for m in found))
        # 19 rows: each deleted, and written twice but in the three fixed-length tables.
        self.assertEqual(len([m for m in found if m.kind == "row"]), 33)
        unit = PRELUDE
        for n, m in enumerate(found):
            mutant = results.make_mutant("t.cpp", m, TABLES.split("\n")[m.line - 1])
            mutated = results.mutated_text(mutant, TABLES)
            self.assertNotEqual(mutated, TABLES)
            unit += f"namespace m{n} {{\n{mutated}}}\n"
        compiled = subprocess.run([os.environ.get("CXX", "c++"), "-std=c++20", "-fsyntax-only",
                                   "-x", "c++", "-"], input=unit, capture_output=True, text=True)
        self.assertEqual(compiled.stderr, "")

    def test_unobservable_mutants_are_left_out_of_the_kill_rate(self):
        with tempfile.TemporaryDirectory() as folder:
            recorded = Path(folder) / "results.txt"
            for n, status in enumerate(("killed", "survived", "equivalent", "unobservable")):
                results.append_result(recorded, results.Result(str(n), status, 1, "a/b.cpp:1", "",
                                                              ""))
            with contextlib.redirect_stdout(io.StringIO()) as out:
                cli.cmd_summary(argparse.Namespace(results=recorded, depth=1))
        row = next(line for line in out.getvalue().splitlines() if line.startswith("all")).split()
        # killed, timeout, survived, equivalent, unobservable; the kill rate
        self.assertEqual(row[1:6] + row[-2:], ["1", "0", "1", "1", "1", "50.0", "%"])

    def test_mutants_go_into_a_worktree_and_a_killed_run_is_undone(self):
        text = "int f(int a) {\n  return a + 1;\n}\n"
        m = results.make_mutant("f.cpp", mutators.find_mutations(text)[0], "  return a + 1;")
        self.assertEqual(results.mutated_text(m, text), text.replace("+", "-"))
        self.assertIsNone(results.mutated_text(m, text.replace("a + 1", "a  + 1")))
        with tempfile.TemporaryDirectory() as folder:
            live, tree = Path(folder) / "live", Path(folder) / "tree"
            live.mkdir()
            (live / "f.cpp").write_text(text)
            git = ["git", "-C", str(live), "-c", "user.name=t", "-c", "user.email=t@t"]
            for args in (["init", "-q"], ["add", "f.cpp"], ["commit", "-qm", "f"]):
                subprocess.run(git + args, check=True)
            self.assertEqual(worktree.prepare(tree, live), tree.resolve())
            with self.assertRaises(ZeroDivisionError):
                worktree.with_mutant(tree / "f.cpp", text, results.mutated_text(m, text),
                                     lambda: 1 / 0)
            self.assertEqual((tree / "f.cpp").read_text(), text)
            # What a run killed outright leaves, the next run takes away.
            (tree / "f.cpp").write_text(results.mutated_text(m, text))
            worktree.prepare(tree, live)
            self.assertEqual((tree / "f.cpp").read_text(), text)
            status = subprocess.run(git + ["status", "--porcelain"], check=True,
                                    capture_output=True, text=True).stdout
            self.assertEqual(status, "")
            with self.assertRaises(SystemExit):
                worktree.prepare(live, live)

    def test_only_a_whole_test_run_makes_a_survivor(self):
        passed = "100% tests passed, 0 tests failed out of 3\n"
        self.assertEqual(runner.judge_tests(0, passed, 3), ("survived", ""))
        self.assertNotEqual(runner.judge_tests(0, passed.replace("3", "2"), 3)[0], "survived")
        self.assertNotEqual(runner.judge_tests(0, passed, 30)[0], "survived")
        self.assertEqual(runner.judge_tests(None, "", 3)[0], "timeout")
        for rc in (-15, -2, -1 * 9):
            with self.subTest(rc=rc), self.assertRaises(runner.Interrupted):
                runner.judge_tests(rc, passed, 3)
        with self.assertRaises(runner.Interrupted):
            runner.judge_build(-15, "")


if __name__ == "__main__":
    unittest.main()
