"""Where mutants go: operators, integers, jumps and deletable statements in the code, and
the literals and rows of its tables."""

import bisect
import re
from dataclasses import dataclass, field

from .lexer import KEYWORDS, VALUE_KEYWORDS, Token, tokenize

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
