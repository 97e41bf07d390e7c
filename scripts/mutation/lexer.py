"""The C++ tokens the mutators look at: comments and preprocessor lines dropped, each token
with its line, column and whether a blank stands on both sides."""

import bisect
import re
from dataclasses import dataclass

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
