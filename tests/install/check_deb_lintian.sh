#!/usr/bin/env bash
# Runs lintian on the package that the deb_package check left in BUILD_DIR/deb-test: no error
# and no warning may be reported, and every override in the package says why in a comment.
#   check_deb_lintian.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1" source="$2"
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/expected_files.sh"

deb="$(ls "$build"/deb-test/zalvo_*.deb)"
# Tags of every level but information and pedantic ones.
report="$(lintian --fail-on none --display-level '>=warning' --show-overrides "$deb" 2>&1)"
echo "$report"
if grep -E '^[EW]: ' <<<"$report"; then
    fail "lintian reports errors or warnings"
fi

overrides="$source/packaging/lintian-overrides"
if [ -f "$overrides" ]; then
    # Each override line follows a comment line that gives the reason.
    awk '/^#/ { reason = 1; next } NF && !reason { print; bad = 1 } { reason = 0 }
         END { exit bad }' "$overrides" || fail "an override above has no reason"
fi
echo "lintian: no errors or warnings in $(basename "$deb")"
