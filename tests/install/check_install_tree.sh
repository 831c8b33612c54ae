#!/usr/bin/env bash
# Installs the build into a staging directory (prefix /usr) and checks every file laid out
# there, and that the installed program runs from its installed place.
#   check_install_tree.sh BUILD_DIR SOURCE_DIR CLI_BUILT(0|1) VERSION
set -euo pipefail
build="$1" source="$2" cli="$3" version="$4"
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

# Started through its link in bin/, as a shell starts it; --help and --version need no display
# (a remote login has none).
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)
help="$("${no_display[@]}" "$stage/usr/bin/zalvo" --help)" ||
    fail "the installed zalvo --help ended with an error"
[ "$(head -n1 <<<"$help")" = "Usage: zalvo [--simulate=115|235|255] [--scenario=FILE] [--serial=N]" ] ||
    fail "unexpected help text: $help"

cmp -s "$stage/usr/lib/zalvo/Sound.WAV" "$source/resources/Sound.WAV" ||
    fail "Sound.WAV differs from resources/Sound.WAV"
cmp -s "$stage/$(udev_rule_path "$udev")" "$source/packaging/60-zalvo.rules" ||
    fail "60-zalvo.rules differs from packaging/60-zalvo.rules"

# Both commands answer --version with the project's version.
for command in "${commands[@]}"; do
    answer="$("${no_display[@]}" "$stage/usr/bin/$command" --version)" ||
        fail "$command --version ended with an error"
    [ "$answer" = "$command $version" ] || fail "$command --version: $answer"
done

desktop="$stage/usr/share/applications/de.korvan.zalvo.desktop"
validation="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $validation"
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
grep -qx 'Exec=zalvo' "$desktop" || fail "the desktop entry does not start zalvo"
grep -qx 'Icon=zalvo' "$desktop" || fail "the desktop entry does not name the icon zalvo"
# The AppStream data names the menu entry as installed.
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" \
    "$stage/usr/share/metainfo/de.korvan.zalvo.metainfo.xml" ||
    fail "the AppStream data does not name the menu entry $(basename "$desktop")"

for size in 16 22 24 32 48 64 128 256; do
    png="$stage/usr/share/icons/hicolor/${size}x${size}/apps/zalvo.png"
    [ "$(identify -format '%m %w %h' "$png")" = "PNG $size $size" ] ||
        fail "${size}x${size}/apps/zalvo.png is not a $size by $size PNG"
done
identify "$stage/usr/share/icons/hicolor/scalable/apps/zalvo.svg" >/dev/null 2>&1 ||
    fail "the scalable icon is no readable SVG"

# The manual pages render without a complaint from groff, and the changelog names this version.
pages=(zalvo)
[ "$cli" = 1 ] && pages+=(zalvo-cli)
for page in "${pages[@]}"; do
    file="$stage/usr/share/man/man1/$page.1.gz"
    complaints="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)"
    [ -z "$complaints" ] || fail "man $page: $complaints"
    grep -q "^EXIT STATUS" <<<"$(LC_ALL=C.UTF-8 man -l "$file")" || fail "man $page has no EXIT STATUS"
done
changelog_version="$(zcat "$stage/usr/share/doc/zalvo/changelog.gz" | sed -n '1s/^zalvo (\([^)]*\)).*/\1/p')"
[ "$changelog_version" = "$version" ] ||
    fail "the changelog's last entry is $changelog_version, the project is $version"

bad_modes="$(cd "$stage" && find . -type f ! -path './usr/lib/zalvo/zalvo*' ! -perm 0644)"
[ -z "$bad_modes" ] || fail "data files not installed with mode 0644: $bad_modes"
echo "install tree: $(wc -l <<<"$actual") files as listed; installed zalvo --help runs"
