#!/usr/bin/env bash
# Installs, upgrades and removes the package that the deb_package check left in
# BUILD_DIR/deb-test, in a scratch root of its own (dpkg --root; the maintainer scripts run
# with a stand-in udevadm). The upgrade starts from the last released layout: the same
# program as version 2.0.3.3, without the files this version adds, its menu entry still
# named zalvo.desktop. After every step each file in the root must be one dpkg lists, and
# after the removal nothing may be left.
#   check_deb_lifecycle.sh BUILD_DIR
set -euo pipefail
build="$1"
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/expected_files.sh"

deb="$(ls "$build"/deb-test/zalvo_*.deb)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The last release, made from this package.
old="$work/old"
dpkg-deb -R "$deb" "$old"
mv "$old/usr/share/applications/de.korvan.zalvo.desktop" "$old/usr/share/applications/zalvo.desktop"
rm -r "$old/usr/share/man" "$old/usr/share/metainfo" "$old/usr/share/doc" \
    "$old/usr/share/bash-completion"
sed -i 's/^Version: .*/Version: 2.0.3.3/' "$old/DEBIAN/control"
(cd "$old" && find usr -type f -exec md5sum {} + >DEBIAN/md5sums)
dpkg-deb --root-owner-group -b "$old" "$work/zalvo_2.0.3.3.deb" >/dev/null

root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "$*" >>"%s"\n' "$work/udevadm.log" >"$work/bin/udevadm"
chmod +x "$work/bin/udevadm"

run_dpkg() {
    PATH="$work/bin:$PATH" dpkg --root="$root" --log=/dev/null --force-script-chrootless \
        --force-depends --force-not-root "$@" >>"$work/dpkg.log" 2>&1 || {
        cat "$work/dpkg.log" >&2
        fail "dpkg $*"
    }
}

# Every file and link below the root, but dpkg's own database.
present() {
    (cd "$root" && find . -mindepth 1 \( -type f -o -type l \) ! -path './var/lib/dpkg/*' |
        sed 's|^\./|/|' | LC_ALL=C sort)
}

# The files and links present must be exactly those dpkg lists for the package.
check_known() {
    local step="$1" known
    known="$(PATH="$work/bin:$PATH" dpkg --root="$root" -L zalvo |
        while read -r path; do [ -d "$root$path" ] && [ ! -L "$root$path" ] || echo "$path"; done |
        LC_ALL=C sort)"
    if [ "$(present)" != "$known" ]; then
        diff <(echo "$known") <(present) >&2 || true
        fail "after $step the root holds files dpkg does not list (< listed, > present)"
    fi
}

run_dpkg -i "$work/zalvo_2.0.3.3.deb"
check_known "installing 2.0.3.3"
grep -q 'control --reload-rules' "$work/udevadm.log" || fail "postinst did not reload the udev rules"

run_dpkg -i "$deb"
check_known "the upgrade"
[ ! -e "$root/usr/share/applications/zalvo.desktop" ] || fail "the old menu entry is left"
[ -f "$root/usr/share/applications/de.korvan.zalvo.desktop" ] || fail "no new menu entry"

run_dpkg -r zalvo
leftover="$(cd "$root" && find . -mindepth 1 ! -path './var' ! -path './var/lib' \
    ! -path './var/lib/dpkg' ! -path './var/lib/dpkg/*')"
[ -z "$leftover" ] || fail "the removal left: $leftover"
run_dpkg -P zalvo
[ -z "$(ls "$root/var/lib/dpkg/info" | grep '^zalvo\.' || true)" ] ||
    fail "the purge left dpkg's records of zalvo"
echo "installed 2.0.3.3, upgraded to $(dpkg-deb -f "$deb" Version), removed and purged:" \
    "nothing left behind"
