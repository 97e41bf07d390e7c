#!/usr/bin/env bash
# The size of the test suite against the code it tests: non-blank lines of C++, Python, shell
# and CMake under tests/ against the same kinds everywhere else, bench/ and fuzz/ counted as
# neither. Test data (fixture trees, profiles, templates) is not code and is not counted.
# With --by-folder, the lines of each folder under tests/ as well.
set -euo pipefail
cd "$(dirname "$0")/.."

code_files() {
  git ls-files -- "$@" | grep -E '(\.(cpp|h|py|sh|cmake)|(^|/)CMakeLists\.txt)$' || true
}

non_blank() {
  local files
  files=$(cat)
  if [ -z "$files" ]; then echo 0; return; fi
  echo "$files" | xargs grep -hcv '^[[:space:]]*$' | awk '{ n += $1 } END { print n + 0 }'
}

tests=$(code_files tests | non_blank)
rest=$(code_files . ':!tests' ':!bench' ':!fuzz' | non_blank)
printf 'tests %d, rest %d, ratio %.3f\n' "$tests" "$rest" "$(awk "BEGIN { print $tests / $rest }")"
if [ "${1:-}" = "--by-folder" ]; then
  for dir in tests/*/; do
    printf '%6d %s\n' "$(code_files "$dir" | non_blank)" "$dir"
  done | sort -rn
fi
