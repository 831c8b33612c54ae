#!/usr/bin/env bash
# Every ctest name says which case it runs: a parameterised case whose value has no printer
# shows as "N-byte object <...>" instead.
#   readable_test_names.sh CTEST BUILD-DIR
set -euo pipefail
names="$("$1" -N --test-dir "$2")"
if grep 'byte object' <<<"$names"; then
  echo "give these cases' parameter a PrintTo" >&2
  exit 1
fi
