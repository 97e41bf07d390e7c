"""The worktree the mutants go into: a git worktree of the live tree's HEAD, so that a mutant
never lands in the files being edited, and a run killed outright leaves nothing to undo there."""

import fcntl
import subprocess
import sys
from pathlib import Path

# The live tree: the repository this package belongs to.
LIVE = Path(__file__).resolve().parents[2]
DEFAULT_WORKTREE = LIVE / ".mutants" / "worktree"


def git(where, *args):
    done = subprocess.run(["git", "-C", str(where), *args], stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        sys.exit(f"git {' '.join(args)} in {where}: {done.stderr.strip()}")
    return done.stdout.strip()


def prepare(path, live=LIVE):
    """The worktree at `path` at the HEAD commit of `live`: added when missing, else reset
    hard to it, which takes away a mutant that a killed run left (git rewrites only the files
    that differ, so the build keeps the rest). Uncommitted changes of the live tree are not in
    it: their mutants are stale."""
    path = Path(path).resolve()
    head = git(live, "rev-parse", "HEAD")
    if path == live or live.is_relative_to(path):
        sys.exit(f"{path} is the live tree: mutants go into a worktree of their own")
    if not (path / ".git").exists():
        path.parent.mkdir(parents=True, exist_ok=True)
        git(live, "worktree", "add", "--detach", "--quiet", str(path), head)
    elif Path(git(path, "rev-parse", "--path-format=absolute", "--git-common-dir")) != Path(
            git(live, "rev-parse", "--path-format=absolute", "--git-common-dir")):
        sys.exit(f"{path} is not a worktree of {live}")
    else:
        git(path, "reset", "--hard", "--quiet", head)
    return path


def take_lock(path):
    """Holds the worktree's lock (in its git folder, so the tree stays clean) for the life of
    the process, or returns None when another run holds it."""
    lock = Path(git(path, "rev-parse", "--path-format=absolute", "--git-dir")) / "mutants-lock"
    f = open(lock, "a")
    try:
        fcntl.flock(f, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        f.close()
        return None
    return f


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)


def with_mutant(path, original, mutated, work):
    """work() with the mutated text in `path`; the original is back when it returns or raises.
    A run killed outright leaves the mutant in the worktree, where the next run's reset finds
    it."""
    write(path, mutated)
    try:
        return work()
    finally:
        write(path, original)
