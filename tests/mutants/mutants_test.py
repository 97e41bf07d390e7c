#!/usr/bin/env python3
"""Which tokens the mutation tool mutates, and that a mutated file always comes back."""

import sys
import tempfile
import unittest
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
import mutants  # noqa: E402

# A function body's lines and the mutants each must give, in column order.
CASES = [
    ("if (a < b && c >= d) x = y + 1;", "< -> <=, && -> ||, >= -> >, + -> -, 1 -> 0"),
    ("std::vector<std::vector<int>> v = Make<T&&>(x, -1, y >> 2, y << 3);",
     "1 -> 0, 2 -> 3, 3 -> 4"),
    ("Use('0', \"a < b\", R\"(x < y)\", 0x10, 1.5, 10u, 1'000, x2);  // a < b",
     "Use('0', \"a < b\", R\"(x <  ->"),
    ("Use(R\"(x < y\n)\");", ""),
    ("p->n = a - b;", "p->n = a - b; ->, - -> +"),
    ("for (;;) { if (!done) break; }", "! ->, break -> continue"),
    ("switch (x) { case 1: Call(); break; }", "Call(); ->"),
    ("while (x) { switch (x) { default: continue; } auto f = [] { return; }; }",
     "continue -> break"),
    ("return a <=> b, ++i, true != x;", "++ -> --, true -> false, != -> =="),
    ("static_assert(sizeof(T) == 4); alignas(8) char c[sizeof(x + 1)]; auto&& r = !x;",
     "! ->"),
    ("Foo x(1); const Bar& y = z; Foo<int>(2); i = 0;", "1 -> 0, 2 -> 3, i = 0; ->, 0 -> 1"),
]
CLASS = ("struct S {\n  virtual void f() = 0;\n  int n = 2;\n  bool operator<(const S&) const;\n"
         "  S();\n};\n")


def described(text):
    return ", ".join(f"{m.original} -> {m.replacement}".strip() if m.kind != "delete"
                     else f"{m.original[:25]} ->" for m in mutants.find_mutations(text))


class MutantsTest(unittest.TestCase):
    def test_mutants_of_each_line(self):
        for code, expected in CASES:
            with self.subTest(code=code):
                self.assertEqual(described("#include <a>\nvoid f() {\n" + code + "\n}\n"),
                                 expected)
        self.assertEqual(described("#define LESS(a, b) a < \\\n b\n" + CLASS), "2 -> 3")

    def test_stale_line_is_not_touched_and_a_crash_is_undone(self):
        text = "int f(int a) {\n  return a + 1;\n}\n"
        m = mutants.make_mutant("f.cpp", mutants.find_mutations(text)[0], "  return a + 1;")
        self.assertEqual(mutants.mutated_text(m, text), text.replace("+", "-"))
        self.assertIsNone(mutants.mutated_text(m, text.replace("a + 1", "a  + 1")))
        with tempfile.TemporaryDirectory() as root:
            mutants.ROOT = Path(root)
            mutants.JOURNAL = mutants.ROOT / ".mutants-journal"
            (mutants.ROOT / "f.cpp").write_text(text)
            with self.assertRaises(ZeroDivisionError):
                mutants.with_mutant("f.cpp", text, mutants.mutated_text(m, text), lambda: 1 / 0)
            self.assertEqual((mutants.ROOT / "f.cpp").read_text(), text)
            # What a run killed outright leaves: the journal and the mutated file.
            mutants.JOURNAL.write_text('{"path": "f.cpp", "original": "%s"}' % "x\\n")
            mutants.restore_from_journal()
            self.assertEqual((mutants.ROOT / "f.cpp").read_text(), "x\n")
            self.assertFalse(mutants.JOURNAL.exists())


if __name__ == "__main__":
    unittest.main()
