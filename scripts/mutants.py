#!/usr/bin/env python3
"""Mutation testing: plants one small fault at a time in the C++ sources and records whether
the test suite notices it.

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
import bisect
import ctypes
import difflib
import fcntl
import hashlib
import json
import os
import random
import re
import shlex
import signal
import statistics
import subprocess
import sys
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
JOURNAL = ROOT / ".mutants-journal"  # present only while a mutant is applied
LOCK = ROOT / ".mutants-lock"
SOURCE_SUFFIXES = (".cpp", ".h")
SLOW_TEST_SECONDS = 2.0  # a test this slow on average runs after the others have passed

RUN_HELP = """\
For each mutant not yet in RESULTS: apply it, rebuild, run the tests that can see it (ctest
--stop-on-failure), record the outcome, restore the source. The source is restored whatever
happens (a failed build, a crashed or hung test, an exception, SIGINT, SIGTERM, SIGHUP). Before
a file is changed its original goes to .mutants-journal at the source root; every start of this
tool restores from a journal left by a run that was killed outright (SIGKILL, power loss), before
anything else. Only one run at a time may use a source tree, and nothing else should change it
meanwhile: a git stash or checkout would carry the mutant of the moment away.

Before the first mutant the whole build is brought up to date and the whole suite is run once: it
must pass, and its time sets the default --timeout (three times it, at least 30 s). After the last
mutant everything is rebuilt once more, so the build folder matches the restored sources.

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
Cost here, in the build that tests/mutants/README.md gives (-O1 without debug information, a
compiler cache, the lld linker, no -Werror): the 440 mutants of tests/mutants/sample.txt took
114 minutes of runs on the suite before it was folded (median 10 s, mean 15 s, at most 113 s
for a header much of the engine includes; load 4 to 9 from other builds; 70 minutes of wall
time, two runs at once for the last part), and the 340 that it killed took 35 minutes of runs
on the folded suite (median 4 s, mean 6 s; 21 minutes of wall time in two runs). The compiler
cache makes the rebuild from a restored file nearly free. At -O2 with debug information and no
cache a mutant took about 25 s (median) and a header up to 318 s. Two runs in two worktrees of
the same commit, each on its own part of the mutants and its own results file, share two cores
well, since a rebuild is mostly one compile and a link; concatenate the results files
afterwards (the last line of an id counts).

In the background (it survives logging out; resume by running the same command again: mutants
already in RESULTS are skipped):
  setsid nohup scripts/mutants.py run tests/mutants/sample.txt --build build \\
      --results tests/mutants/baseline.txt > mutants.log 2>&1 < /dev/null &
  tail -f mutants.log    # progress, one line per mutant; the first line gives the PID
  kill -TERM PID         # stop: the source is restored, RESULTS stays valid
"""

# ---------------------------------------------------------------------------------------------
# The lexer

KEYWORDS = frozenset("""
alignas alignof and and_eq asm auto bitand bitor bool break case catch char char8_t char16_t
char32_t class compl concept const consteval constexpr constinit const_cast continue co_await
co_return co_yield decltype default delete do double dynamic_cast else enum explicit export
extern false float for friend goto if inline int long mutable namespace new noexcept not not_eq
nullptr operator or or_eq private protected public register reinterpret_cast requires return
short signed sizeof static static_assert static_cast struct switch template this thread_local
throw true try typedef typeid typename union unsigned using virtual void volatile wchar_t while
xor xor_eq""".split())
VALUE_KEYWORDS = frozenset(("this", "true", "false", "nullptr"))
PUNCTUATORS = ("<=> <<= >>= ->* ... :: -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= "
               ".* ##").split()
TOKEN_RE = re.compile(
    r"""(?P<space>[ \t\r\f\v]+|\\\n)
      | (?P<newline>\n)
      | (?P<comment>//(?:[^\n\\]|\\[\s\S])*|/\*[\s\S]*?(?:\*/|\Z))
      | (?P<raw>(?:u8|u|U|L)?R"(?P<delim>[^ ()\\\t\v\f\n"]{0,16})\()
      | (?P<str>(?:u8|u|U|L)?"(?:[^"\\\n]|\\[\s\S])*"?[A-Za-z_0-9]*)
      | (?P<chr>(?:u8|u|U|L)?'(?:[^'\\\n]|\\[\s\S])*'?[A-Za-z_0-9]*)
      | (?P<num>\.?[0-9](?:[eEpP][+-]|'[0-9A-Za-z_]|[0-9A-Za-z_.])*)
      | (?P<id>[A-Za-z_][A-Za-z_0-9]*)
      | (?P<punct>""" + "|".join(re.escape(p) for p in PUNCTUATORS) + r"""|[\s\S])""",
    re.X)
BLANKS = " \t\r\n\f\v"


@dataclass
class Token:
    kind: str  # id, num, str, chr, punct
    text: str
    pos: int
    end: int
    line: int = 0
    col: int = 0
    spaced: bool = False  # a blank on both sides


def tokenize(text):
    """The tokens of a C++ source; comments and preprocessor lines are dropped."""
    tokens, pos, line_start = [], 0, True
    while pos < len(text):
        m = TOKEN_RE.match(text, pos)
        kind = m.lastgroup if m.lastgroup != "delim" else "raw"
        end = m.end()
        if kind == "newline":
            line_start = True
        elif kind in ("space", "comment"):
            pass
        elif kind == "punct" and m.group() in ("#", "##") and line_start:
            end = directive_end(text, pos)
        else:
            if kind == "raw":
                close = text.find(")" + m.group("delim") + '"', end)
                end = len(text) if close < 0 else close + len(m.group("delim")) + 2
                kind = "str"
            tokens.append(Token(kind, text[pos:end], pos, end))
            line_start = False
        pos = end
    starts = [0] + [i + 1 for i, c in enumerate(text) if c == "\n"]
    for t in tokens:
        t.line = bisect.bisect_right(starts, t.pos)
        t.col = t.pos - starts[t.line - 1] + 1
        t.spaced = (t.pos > 0 and text[t.pos - 1] in BLANKS and t.end < len(text)
                    and text[t.end] in BLANKS)
    return tokens


def directive_end(text, pos):
    """Where a preprocessor line ends: continued lines and block comments included."""
    while pos < len(text) and text[pos] != "\n":
        if text.startswith("\\\n", pos):
            pos += 2
        elif text.startswith("/*", pos):
            close = text.find("*/", pos + 2)
            pos = len(text) if close < 0 else close + 2
        else:
            pos += 1
    return pos


# ---------------------------------------------------------------------------------------------
# Where mutants go

@dataclass
class Mutation:
    line: int
    col: int
    kind: str
    original: str  # may run over several lines (a table row, two literals swapped)
    replacement: str
    in_table: bool = False  # inside a table's initializer


SWAPS = {
    "<": ("relational", "<="), "<=": ("relational", "<"), ">": ("relational", ">="),
    ">=": ("relational", ">"), "==": ("equality", "!="), "!=": ("equality", "=="),
    "+": ("arithmetic", "-"), "-": ("arithmetic", "+"), "&&": ("logical", "||"),
    "||": ("logical", "&&"), "++": ("increment", "--"), "--": ("increment", "++"),
    "true": ("boolean", "false"), "false": ("boolean", "true"),
    "break": ("jump", "continue"), "continue": ("jump", "break"),
}
BINARY = frozenset("< <= > >= == != + - && ||".split())
UNEVALUATED = frozenset("static_assert alignas alignof sizeof decltype noexcept typeid".split())
ASSIGNMENTS = frozenset("= += -= *= /= %= &= |= ^= <<= >>=".split())
CONTROL = frozenset("if for while switch catch".split())
CLASS_KEYS = frozenset("class struct union enum".split())
OPENERS = {"(": ")", "[": "]", "{": "}"}
INTEGER_RE = re.compile(r"0|[1-9][0-9]*")
KINDS = ("relational", "equality", "arithmetic", "logical", "not", "boolean", "integer",
         "increment", "jump", "delete", "literal", "row")
DEFAULT_KINDS = ",".join(KINDS[:-2])  # a literal or a row only when asked for


def partners(tokens):
    """For each bracket, the index of its partner; unmatched brackets have none."""
    pair, stack = {}, []
    for i, t in enumerate(tokens):
        if t.text in OPENERS:
            stack.append(i)
        elif t.text in (")", "]", "}"):
            while stack and OPENERS[tokens[stack[-1]].text] != t.text:
                stack.pop()
            if stack:
                pair[stack[-1]], pair[i] = i, stack[-1]
                stack.pop()
    return pair


def excluded_tokens(tokens, pair):
    """Tokens never mutated: unevaluated operands, static_assert, attributes, operator names."""
    out = set()
    for i, t in enumerate(tokens[:-1]):
        nxt = tokens[i + 1].text
        if t.text in UNEVALUATED and nxt == "(" and i + 1 in pair:
            out.update(range(i, pair[i + 1] + 1))
        elif t.text == "[" and nxt == "[" and i in pair:
            out.update(range(i, pair[i] + 1))
        elif t.text == "operator":
            out.update(range(i, min(i + 3, len(tokens))))
    return out


def template_closers(tokens, pair):
    """The > and >> tokens that close a template argument list."""
    out = set()
    for i, t in enumerate(tokens):
        if t.text != "<" or i == 0 or t.spaced or tokens[i - 1].kind != "id":
            continue
        depth, j = 1, i + 1
        while j < len(tokens) and depth > 0:
            x = tokens[j].text
            if x in (";", "{", "}", ")", "]"):
                break
            elif x in OPENERS and j in pair:
                j = pair[j]
            elif x == "<" and not tokens[j].spaced and tokens[j - 1].kind == "id":
                depth += 1
            elif x in (">", ">>"):
                depth -= len(x)
                if depth <= 0:
                    out.add(j)
            j += 1
    return out


def ends_operand(t):
    return (t.kind in ("num", "str", "chr") or t.text in (")", "]")
            or (t.kind == "id" and (t.text not in KEYWORDS or t.text in VALUE_KEYWORDS)))


def starts_operand(t):
    return t.kind != "punct" or t.text in ("(", "!", "~", "-", "+", "*", "&", "::", "[", "++",
                                           "--")


@dataclass
class Scope:
    kind: str  # namespace, class, enum, init (braces of a value), block, lambda
    stmt: int  # index of the first token of the statement being read
    loop: bool = False
    boundary: bool = False  # a function's or lambda's body: break cannot leave it
    parens: list = field(default_factory=list)  # open ( and [, each with the keyword before it
    seen_paren: bool = False  # the statement so far has a ( outside brackets
    brace: int = -1  # index of the { that opened it


def brace_scope(tokens, i, scope, closed_by):
    """What the { at index i opens."""
    stmt = tokens[scope.stmt:i]
    prev = tokens[i - 1].text if i else ";"
    words = [t.text for t in stmt]
    key = next((k for k, t in enumerate(stmt) if t.text in CLASS_KEYS
                and (k == 0 or stmt[k - 1].text not in ("<", ",", "("))), None)
    if key is not None and "(" not in words[key:]:
        return Scope("enum" if "enum" in words[key:] else "class", i + 1)
    if scope.kind in ("block", "lambda"):
        head = closed_by.get(i - 1)
        if prev == ":" and scope.parens:
            return Scope("init", i + 1)  # the list of a range for
        if prev == "do" or head in ("for", "while"):
            return Scope("block", i + 1, loop=True)
        if prev == ")" and head is None or prev in ("]", "mutable", "noexcept", "constexpr"):
            return Scope("lambda", i + 1, boundary=True)
        if prev in (")", "else", "try", ";", "{", "}", ":"):
            return Scope("block", i + 1)
        return Scope("init", i + 1)
    if words[:1] == ["namespace"] or words[:2] == ["inline", "namespace"] or (
            words[:1] == ["extern"] and len(stmt) == 2):
        return Scope("namespace", i + 1)
    if scope.kind in ("namespace", "class") and (prev == "}" or scope.seen_paren):
        return Scope("block", i + 1, boundary=True)  # a function body
    if prev in (")", "]", "mutable"):
        return Scope("lambda", i + 1, boundary=True)
    return Scope("init", i + 1)


def is_name(t):
    return t.kind == "id" and (t.text not in KEYWORDS or t.text == "this")


def is_call_or_assignment(tokens, k, end, pair):
    """Whether tokens[k:end] are only a call, or an assignment to a name, a member or an
    element; a declaration (two names in a row, a template, a type keyword) is neither."""
    while k < end and tokens[k].text in ("*", "::"):
        k += 1
    if k >= end or not is_name(tokens[k]):
        return False
    k, last = k + 1, "name"
    while k < end:
        x = tokens[k].text
        if x in (".", "->", "::") and k + 1 < end and is_name(tokens[k + 1]):
            k, last = k + 2, "name"
        elif x in ("(", "[") and pair.get(k, end) < end:
            k, last = pair[k] + 1, x
        elif x in ASSIGNMENTS:
            return k + 1 < end
        else:
            return False
    return last == "("


def find_mutations(text):
    """Every mutant of a source text, in order."""
    tokens = tokenize(text)
    pair = partners(tokens)
    excluded = excluded_tokens(tokens, pair)
    closers = template_closers(tokens, pair)
    out = []
    scopes = [Scope("namespace", 0)]
    closed_by = {}  # index of a ) -> the control keyword before its (
    heads = {}  # index of a { that opens a value -> its declaration, None inside another value
    inits_at = {}  # index of a string literal -> the { of each value it lies in, outermost first

    def add(t, kind, replacement, original=None):
        out.append(Mutation(t.line, t.col, kind, original or t.text, replacement))

    for i, t in enumerate(tokens):
        scope, x = scopes[-1], t.text
        prev = tokens[i - 1] if i else Token("punct", ";", 0, 0)
        nxt = tokens[i + 1] if i + 1 < len(tokens) else Token("punct", ";", 0, 0)
        if t.kind == "punct":
            if x in ("(", "["):
                scope.seen_paren |= not scope.parens and x == "("
                scope.parens.append(prev.text if x == "(" and prev.text in CONTROL else x)
            elif x in (")", "]"):
                closed_by[i] = scope.parens.pop() if scope.parens else None
                if closed_by[i] not in CONTROL:
                    closed_by[i] = None
            elif x == "{":
                scopes.append(brace_scope(tokens, i, scope, closed_by))
                scopes[-1].brace = i
                if scopes[-1].kind == "init":
                    heads[i] = tokens[scope.stmt:i] if scope.kind != "init" else None
            elif x == "}" and len(scopes) > 1:
                if scopes.pop().kind not in ("init", "lambda"):
                    scopes[-1].stmt, scopes[-1].seen_paren = i + 1, False
            elif x == ";" and not scope.parens:
                first = tokens[scope.stmt] if scope.stmt < i else None
                if (scope.kind in ("block", "lambda") and first and first.line == t.line
                        and is_call_or_assignment(tokens, scope.stmt, i, pair)):
                    add(first, "delete", "", text[first.pos:t.end])
                scope.stmt, scope.seen_paren = i + 1, False
            elif x == ":" and not scope.parens and scope.stmt < i and (
                    tokens[scope.stmt].text in ("case", "default", "public", "private",
                                                "protected")):
                scope.stmt = i + 1
        if t.kind == "str":
            inits_at[i] = tuple(s.brace for s in scopes if s.kind == "init")
        if i in excluded:
            continue
        if x in BINARY and t.kind == "punct":
            if (t.spaced and i not in closers and ends_operand(prev) and starts_operand(nxt)
                    and not (x in ("+", "-") and "str" in (prev.kind, nxt.kind))):
                add(t, *SWAPS[x])
        elif x in ("++", "--") and t.kind == "punct":
            add(t, *SWAPS[x])
        elif x == "!" and t.kind == "punct":
            add(t, "not", "")
        elif x in ("true", "false", "continue"):
            add(t, *SWAPS[x])
        elif x == "break":
            for s in reversed(scopes):
                if s.loop or s.boundary:
                    break
            if s.loop:
                add(t, *SWAPS[x])
        elif t.kind == "num" and INTEGER_RE.fullmatch(x) and prev.text != "case" and not (
                prev.text == "=" and nxt.text == ";" and i > 1 and tokens[i - 2].text in (
                    ")", "const", "override", "noexcept", "final")):  # "= 0" of a pure virtual
            add(t, "integer", {"0": "1", "1": "0"}.get(x, str(int(x) + 1)))
    out += table_mutations(text, tokens, pair, excluded, heads, inits_at)
    return sorted(out, key=lambda m: (m.line, m.col, m.kind, m.replacement))


# ---------------------------------------------------------------------------------------------
# Tables and literals

CONTAINERS = frozenset("array vector initializer_list map set unordered_map unordered_set".split())
NO_LITERAL_MUTANTS = frozenset("asm __asm__ __attribute__ _Pragma assert".split())
ESCAPE_RE = re.compile(r"\\(?:[0-7]{1,3}|x[0-9A-Fa-f]+|u[0-9A-Fa-f]{4}|U[0-9A-Fa-f]{8}|[\s\S])")
LITERAL_RE = re.compile(r'(?:u8|u|U|L)?(?:R"(?P<delim>[^(]*)\((?P<raw>[\s\S]*)\)(?P=delim)"'
                        r'|"(?P<plain>(?:[^"\\]|\\[\s\S])*)")[A-Za-z_0-9]*')


def elements(tokens, pair, brace):
    """The elements of the braced list that opens at `brace`: (first token, end) index pairs, the
    end being the index of the comma or brace after the element."""
    out, start, k, angles = [], brace + 1, brace + 1, 0
    close = pair.get(brace, len(tokens))
    while k < close:
        t = tokens[k]
        if t.text in OPENERS and k in pair:
            k = pair[k] + 1
            continue
        if t.text == "<" and not t.spaced and tokens[k - 1].kind == "id":
            angles += 1
        elif t.text in (">", ">>") and angles and not t.spaced:
            angles = max(0, angles - len(t.text))
        elif t.text == "," and not angles:
            out.append((start, k))
            start = k + 1
        k += 1
    if start < close:
        out.append((start, close))
    return out


def is_group(tokens, pair, first, end):
    """Whether tokens[first:end] are one braced list."""
    return tokens[first].text == "{" and pair.get(first) == end - 1


def is_text(tokens, first, end):
    """Whether tokens[first:end] are one string literal, bare or in a macro such as WTEXT(...)."""
    kinds = [t.kind for t in tokens[first:end]]
    return kinds == ["str"] or (kinds[:1] == ["id"] and tokens[first + 1].text == "("
                                 and kinds[2:] == ["str", "punct"] and tokens[end - 1].text == ")")


def tables(tokens, pair, heads):
    """The braced lists whose elements are rows, each with whether its length is fixed: an array
    or container being declared, a list of rows that are themselves braced lists, a list of
    texts. The double braces of a std::array lead to the list inside."""
    out = {}
    for brace, head in heads.items():
        items = elements(tokens, pair, brace)
        words = [t.text for t in head] if head is not None else []
        declared = "[" in words or any(w in CONTAINERS for w in words)
        fixed = any(w == "[" and nxt != "]" for w, nxt in zip(words, words[1:] + [""])) or (
            "array" in words)
        if declared and len(items) == 1 and is_group(tokens, pair, *items[0]):
            brace = items[0][0]
            items = elements(tokens, pair, brace)
        if len(items) < 2 and not declared:
            continue
        if declared or all(is_group(tokens, pair, *e) for e in items) or (
                head is not None and all(is_text(tokens, *e) for e in items)):
            out.setdefault(brace, (items, declared and fixed))
    return out


def row_mutations(text, tokens, items, fixed):
    """Each row deleted, and where the list's length is not fixed, each row written twice."""
    out = []
    for n, (first, end) in enumerate(items):
        if first >= end:
            continue
        t, last = tokens[first], tokens[end - 1]
        row = text[t.pos:last.end]
        if tokens[end].text == ",":
            out.append(Mutation(t.line, t.col, "row", text[t.pos:tokens[end].end], "", True))
        elif n > 0:  # the last row, without a comma after it
            comma = tokens[items[n - 1][1]]
            out.append(Mutation(comma.line, comma.col, "row", text[comma.pos:last.end], "", True))
        if not fixed:
            out.append(Mutation(t.line, t.col, "row", row, row + ", " + row, True))
    return out


def changed_character(c):
    """Another character in place of `c`: the next letter or digit (z, Z and 9 wrap around), the
    next code point beyond ASCII, x for any other ASCII character."""
    for first, last in (("a", "z"), ("A", "Z"), ("0", "9")):
        if first <= c <= last:
            return first if c == last else chr(ord(c) + 1)
    if ord(c) >= 0x80:
        nxt = ord(c) + 1
        return chr(ord(c) - 1 if 0xD800 <= nxt <= 0xDFFF or nxt > 0x10FFFF else nxt)
    return "x"


def literal_variants(token_text):
    """The replacements of a literal: its first character that is neither part of an escape nor
    a line break changed, and the literal emptied."""
    m = LITERAL_RE.fullmatch(token_text)
    if not m:
        return []
    raw = m.group("delim") is not None
    body, at = (m.group("raw"), m.start("raw")) if raw else (m.group("plain"), m.start("plain"))
    out, k = [], 0
    while k < len(body):
        escape = None if raw else ESCAPE_RE.match(body, k)
        if escape:
            k = escape.end()
        elif body[k] in "\r\n":
            k += 1
        else:
            out.append(token_text[:at + k] + changed_character(body[k]) + token_text[at + k + 1:])
            break
    if body:
        out.append(token_text[:at] + token_text[at + len(body):])
    return out


def table_mutations(text, tokens, pair, excluded, heads, inits_at):
    """Rows of tables deleted and written twice; string literals with a character changed,
    emptied, and swapped with the literal in the same place of the next row (or else the next
    element) of the same table."""
    out = []
    found = tables(tokens, pair, heads)
    for items, fixed in found.values():
        out += row_mutations(text, tokens, items, fixed)
    skipped = set(excluded)
    for i, t in enumerate(tokens[:-1]):
        if t.text in NO_LITERAL_MUTANTS and tokens[i + 1].text == "(" and i + 1 in pair:
            skipped.update(range(i, pair[i + 1] + 1))
        elif t.text == "extern" and tokens[i + 1].kind == "str":
            skipped.add(i + 1)
    lists = {}
    places = {}  # (outermost brace, path) -> the first literal there
    for i, inits in inits_at.items():
        if i in skipped or not inits:
            continue
        path = []
        for brace in inits:
            if brace not in lists:
                lists[brace] = [first for first, _ in elements(tokens, pair, brace)]
            path.append(bisect.bisect_right(lists[brace], i) - 1)
        places.setdefault((inits[0], tuple(path)), i)
    where = {i: key for key, i in places.items()}
    for i, t in enumerate(tokens):
        if t.kind != "str" or i in skipped:
            continue
        in_table = any(b in found for b in inits_at.get(i, ()))
        for replacement in literal_variants(t.text):
            out.append(Mutation(t.line, t.col, "literal", t.text, replacement, in_table))
        if i not in where:
            continue
        outermost, path = where[i]
        for depth in range(len(path)):
            j = places.get((outermost, path[:depth] + (path[depth] + 1,) + path[depth + 1:]))
            if j is None:
                continue
            u = tokens[j]
            same_prefix = t.text.split('"', 1)[0] == u.text.split('"', 1)[0]
            if same_prefix and t.text != u.text:
                out.append(Mutation(t.line, t.col, "literal", text[t.pos:u.end],
                                    u.text + text[t.end:u.pos] + t.text, in_table))
            break
    return out


# ---------------------------------------------------------------------------------------------
# Mutant and result files

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


# ---------------------------------------------------------------------------------------------
# Applying a mutant, and undoing it whatever happens

CAUGHT_SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)


class Interrupted(BaseException):
    pass


def on_signal(signum, _frame):
    raise Interrupted(signal.Signals(signum).name)


def read_source(path):
    with open(path, encoding="utf-8", newline="") as f:
        return f.read()


def source_lines(text):
    """The lines as the lexer numbers them, without their line breaks."""
    return [line.rstrip("\r") for line in text.split("\n")]


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


def write_synced(path, data):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(data)
        f.flush()
        os.fsync(f.fileno())


def restore_from_journal(left_by_crash=True):
    """Puts back the file that the journal names: after each mutant, and at every start for
    a run that was killed outright."""
    if not JOURNAL.exists():
        return
    entry = json.loads(JOURNAL.read_text(encoding="utf-8"))
    target = ROOT / entry["path"]
    if not target.exists() or read_source(target) != entry["original"]:
        write_synced(target, entry["original"])
        if left_by_crash:
            print(f"restored {entry['path']} from {JOURNAL.name}", file=sys.stderr)
    JOURNAL.unlink()


def with_mutant(path, original, mutated, work):
    """work() with the mutated text in the file; the original is back when this returns or
    raises. The journal is written before the file, and the signals that stop a run wait
    while either is written, so that no moment leaves a mutant without its journal."""
    signal.pthread_sigmask(signal.SIG_BLOCK, CAUGHT_SIGNALS)
    try:
        tmp = JOURNAL.with_name(JOURNAL.name + ".tmp")
        write_synced(tmp, json.dumps({"path": path, "original": original}))
        os.replace(tmp, JOURNAL)
        write_synced(ROOT / path, mutated)
        signal.pthread_sigmask(signal.SIG_UNBLOCK, CAUGHT_SIGNALS)
        return work()
    finally:
        signal.pthread_sigmask(signal.SIG_BLOCK, CAUGHT_SIGNALS)
        try:
            restore_from_journal(left_by_crash=False)
        finally:
            signal.pthread_sigmask(signal.SIG_UNBLOCK, CAUGHT_SIGNALS)


def take_lock():
    """Holds the tree's lock for the life of the process, or returns None if a run holds it."""
    f = open(LOCK, "a")
    try:
        fcntl.flock(f, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        f.close()
        return None
    return f


# ---------------------------------------------------------------------------------------------
# Processes

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


# ---------------------------------------------------------------------------------------------
# The build graph: which objects a source file goes into, which tests can see them

@dataclass
class TestInfo:
    number: int  # as ctest numbers it
    name: str
    inputs: set  # built files (and sources) it depends on
    sources: list  # source files or folders its arguments name
    always: bool  # it runs for every mutant and needs the whole build
    targets: set  # what to build before running it


class BuildGraph:
    def __init__(self, build):
        self.build = Path(build).resolve()
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
                elif path.startswith(str(ROOT) + "/") and not path.startswith(str(self.build)):
                    sources.append(path)
            always = blind or not targets  # we cannot see what it runs
            inputs = set()
            for target in targets:
                inputs |= self.inputs(target)
            out.append(TestInfo(number, test["name"], inputs, sources, always, targets))
        return out


# ---------------------------------------------------------------------------------------------
# draw

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
    files = sorted({f for f in out if f.is_relative_to(ROOT)})
    if len(files) < len(set(out)):
        sys.exit(f"every file must lie under {ROOT}")
    return files


def compiled_lines(build, files):
    """For each file, the lines that this build compiles, as the preprocessor's output of one
    object that includes it shows them; a file that no object includes is absent."""
    graph = BuildGraph(build)
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
        rel, texts = f.relative_to(ROOT).as_posix(), source_lines(text)
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
        print(f"left out (this build compiles it nowhere): {f.relative_to(ROOT)}", file=sys.stderr)
    print(f"{a.output}: {len(mutants)} mutants from {len(lines)} lines")


# ---------------------------------------------------------------------------------------------
# run

def first_error(output):
    for pattern in (r".*\b(?:fatal )?error: .*", r"FAILED: .*", r".*\S.*"):
        found = re.search(pattern, output)
        if found:
            return found.group().strip()
    return ""


def judge_build(rc, output):
    """None when the build succeeded, else (status, detail)."""
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


def judge_tests(rc, output):
    if rc is None:
        return "timeout", "the tests passed --timeout"
    failed = re.findall(r"^\s*\d+ - (.+?) \(([^)]+)\)\s*$", output.split(
        "The following tests FAILED:")[-1], re.M) if "tests FAILED" in output else []
    if rc == 0 and re.search(r"tests passed, 0 tests failed out of [1-9]", output):
        return "survived", ""
    if failed and all(why != "Not Run" for _, why in failed):
        name, why = failed[0]
        return ("timeout" if why == "Timeout" else "killed"), f"{name} ({why})"
    return "error", first_error(output) or f"ctest exit status {rc}"


class Runner:
    def __init__(self, a):
        self.a = a
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
        if not self.a.tests or any(not t.targets for t in self.tests):
            return []
        return sorted(set().union(*(t.targets for t in self.tests)))

    def baseline(self):
        self.graph = BuildGraph(self.build)
        self.tests = self.graph.tests()
        if self.a.tests:
            self.tests = [t for t in self.tests if re.search(self.a.tests, t.name)]
            if not self.tests:
                sys.exit(f"no test of this build matches {self.a.tests}")
        rc, out, secs = self.ninja(self.scope())
        if rc != 0:
            sys.exit(f"the build fails without any mutant:\n{out[-3000:]}")
        print(f"build up to date ({secs:.0f} s)", flush=True)
        if self.a.skip_baseline:
            self.read_slow_tests()
            return self.a.timeout or 300
        rc, out, secs = self.ctest(None if not self.a.tests else
                                   [t.number for t in self.tests], None)
        if judge_tests(rc, out)[0] != "survived":
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
        path = ROOT / m.path
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
                    status, detail = judge_tests(rc, out)
            note = f"{len(tests)} tests, build {build_secs:.0f} s, tests {test_secs:.0f} s"
            return status, (detail + "; " if detail else "") + note, build_secs + test_secs

        return with_mutant(m.path, text, mutated, work)

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
                append_result(self.a.results, Result(m.id, status, secs, m.where(), m.kind,
                                                     detail))
                seconds.append((status, secs))
                print(f"[{n}/{len(todo)}] {m.id} {m.where()} {m.kind} "
                      f"{json.dumps(m.original)} -> {json.dumps(m.replacement)}: {status} "
                      f"({secs:.0f} s) {detail}", flush=True)
        except Interrupted as e:
            print(f"stopped by {e}; the source is restored, run the same command to resume. "
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


def cmd_run(a):
    lock = take_lock()
    if lock is None:
        sys.exit("another run is using this source tree")
    restore_from_journal()
    for s in CAUGHT_SIGNALS:
        if signal.getsignal(s) != signal.SIG_IGN:  # nohup's SIGHUP stays ignored
            signal.signal(s, on_signal)
    try:
        Runner(a).run()
    except Interrupted as e:
        print(f"stopped by {e} before the first mutant", flush=True)
        raise SystemExit(130)
    finally:
        restore_from_journal()


# ---------------------------------------------------------------------------------------------
# list, show, mark, summary, compare

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
        text = read_source(ROOT / m.path)
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
    r.add_argument("--build", required=True, help="a configured ninja build folder")
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
        lock = take_lock()
        if lock is not None:
            restore_from_journal()
        elif a.command == "draw":
            sys.exit("a run is using this source tree: its sources may hold a mutant")
    handler = {"draw": cmd_draw, "run": cmd_run, "list": cmd_list, "show": cmd_show,
               "mark": cmd_mark, "summary": cmd_summary, "compare": cmd_compare}[a.command]
    sys.exit(handler(a) or 0)


if __name__ == "__main__":
    main()
