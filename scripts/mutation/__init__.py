"""Mutation testing of the C++ sources: lexer (tokens), mutators (where mutants go), results
(the mutants and results files), worktree (where mutants are applied), runner (build, tests,
verdicts) and cli (the commands)."""
