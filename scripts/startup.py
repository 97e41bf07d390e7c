#!/usr/bin/env python3
"""Times whole runs of a few command lines, one run of each in turn, round after round.

hyperfine runs all of one command's runs before the next command's, so on a shared virtual
machine, whose speed drifts by a third or more within a minute, a slow stretch lands on one command
only: two runs of the same comparison a minute apart disagreed by 15%. Here every round runs
each command once, so a slow stretch is shared by all of them, and the medians over the rounds
are compared. Prints each command's median wall time and its ratio to the first command's.

    scripts/startup.py [--rounds N] /bin/true 'inst/bin/velmora --version' inst/bin/velmora

Output goes to /dev/null; a command that fails is reported and ends the timing. Timing lives
here and in bench/, never in the tests.
"""

import argparse
import os
import shlex
import statistics
import sys
import time

WARMUP_ROUNDS = 5


def run_once(argv, devnull):
    """The wall time of one run of argv, its output sent to the descriptor devnull, in
    nanoseconds; raises when it fails."""
    actions = [(os.POSIX_SPAWN_DUP2, devnull, 1), (os.POSIX_SPAWN_DUP2, devnull, 2)]
    start = time.perf_counter_ns()
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=actions)
    _, status = os.waitpid(pid, 0)
    elapsed = time.perf_counter_ns() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        raise RuntimeError(f"{shlex.join(argv)} ended with status {code}")
    return elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=300)
    parser.add_argument("commands", nargs="+", help="command lines; the first is the baseline")
    args = parser.parse_args()
    commands = [shlex.split(c) for c in args.commands]
    times = [[] for _ in commands]
    devnull = os.open(os.devnull, os.O_WRONLY)
    try:
        for round_number in range(-WARMUP_ROUNDS, args.rounds):
            for argv, kept in zip(commands, times):
                elapsed = run_once(argv, devnull)
                if round_number >= 0:
                    kept.append(elapsed)
    except (OSError, RuntimeError) as error:
        sys.exit(f"startup.py: {error}")
    finally:
        os.close(devnull)
    baseline = statistics.median(times[0])
    for line, kept in zip(args.commands, times):
        median = statistics.median(kept)
        print(f"{line:40} {median / 1e6:7.2f} ms  {median / baseline:5.2f}x")


if __name__ == "__main__":
    main()
