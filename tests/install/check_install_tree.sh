#!/usr/bin/env bash
# Installs the build into a staging directory (prefix /usr) and checks every file laid out
# there, and that the installed program runs from its installed place.
#   check_install_tree.sh BUILD_DIR SOURCE_DIR CLI_BUILT(0|1)
set -euo pipefail
build="$1" source="$2" cli="$3"
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/expected_files.sh"

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

udev="$(configured_udev_dir "$build")"
actual="$(cd "$stage" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)"
expected="$(expected_files "$cli" "$udev")"
if [ "$actual" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "installed files differ from the list (< expected, > installed)"
fi

# The commands are relative links into the private directory, so the tree can be moved.
commands=(zalvo)
[ "$cli" = 1 ] && commands+=(zalvo-cli)
for command in "${commands[@]}"; do
    link="$stage/usr/bin/$command"
    [ -L "$link" ] || fail "usr/bin/$command is not a link"
    [ "$(readlink "$link")" = "../lib/zalvo/$command" ] ||
        fail "usr/bin/$command points to $(readlink "$link")"
    [ -x "$stage/usr/lib/zalvo/$command" ] || fail "usr/lib/zalvo/$command is not executable"
    if grep -Eq 'RPATH|RUNPATH' <<<"$(readelf -d "$stage/usr/lib/zalvo/$command")"; then
        fail "usr/lib/zalvo/$command keeps a library search path of the build tree"
    fi
done

# Started through its link in bin/, as a desktop or a shell starts it.
help="$(QT_QPA_PLATFORM=offscreen "$stage/usr/bin/zalvo" --help)" ||
    fail "the installed zalvo --help ended with an error"
[ "$(head -n1 <<<"$help")" = "Usage: zalvo [--simulate=115|235|255] [--scenario=FILE] [--serial=N]" ] ||
    fail "unexpected help text: $help"

cmp -s "$stage/usr/lib/zalvo/Sound.WAV" "$source/resources/Sound.WAV" ||
    fail "Sound.WAV differs from resources/Sound.WAV"
cmp -s "$stage/$(udev_rule_path "$udev")" "$source/packaging/60-zalvo.rules" ||
    fail "60-zalvo.rules differs from packaging/60-zalvo.rules"

desktop="$stage/usr/share/applications/zalvo.desktop"
validation="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $validation"
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
grep -qx 'Exec=zalvo' "$desktop" || fail "the desktop entry does not start zalvo"
grep -qx 'Icon=zalvo' "$desktop" || fail "the desktop entry does not name the icon zalvo"

for size in 16 22 24 32 48 64 128 256; do
    png="$stage/usr/share/icons/hicolor/${size}x${size}/apps/zalvo.png"
    [ "$(identify -format '%m %w %h' "$png")" = "PNG $size $size" ] ||
        fail "${size}x${size}/apps/zalvo.png is not a $size by $size PNG"
done
identify "$stage/usr/share/icons/hicolor/scalable/apps/zalvo.svg" >/dev/null 2>&1 ||
    fail "the scalable icon is no readable SVG"

bad_modes="$(cd "$stage" && find . -type f ! -path './usr/lib/zalvo/zalvo*' ! -perm 0644)"
[ -z "$bad_modes" ] || fail "data files not installed with mode 0644: $bad_modes"
echo "install tree: $(wc -l <<<"$actual") files as listed; installed zalvo --help runs"
