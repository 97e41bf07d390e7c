#!/usr/bin/env python3
"""The mutation tool's command: scripts/mutants.py --help, or python3 -m mutation in scripts/."""

import sys
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))
from mutation.cli import main  # noqa: E402

main()
