#!/usr/bin/env bash
# Builds the Debian package from the build directory and checks its control fields, its
# dependencies and its file list. The package stays in BUILD_DIR/deb-test for the checks that
# install it and run lintian on it.
#   check_deb_package.sh BUILD_DIR VERSION CLI_BUILT(0|1)
set -euo pipefail
build="$1" version="$2" cli="$3"
here="$(dirname "${BASH_SOURCE[0]}")"
. "$here/expected_files.sh"

out="$build/deb-test"
rm -rf "$out"
mkdir -p "$out"
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || {
    cat "$out/cpack.log" >&2
    fail "cpack failed"
}
arch="$(dpkg --print-architecture)"
deb="$out/zalvo_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") written: $(ls "$out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zalvo ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = science ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Recommends)" = "fonts-liberation, libcanberra-pulse" ] || fail "Recommends: $(field Recommends)"

# Every library the program links, found by dpkg-shlibdeps, with a lowest version.
depends="$(field Depends)"
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libcanberra0 \
    libqt6svg6 libqt6printsupport6 libusb-1.0-0; do
    [[ ", $depends" == *", $package (>= "* ]] || fail "Depends lacks $package: $depends"
done

# (Output is taken whole before grep -q: with pipefail an early exit of grep fails the pipe.)
info="$(dpkg-deb -I "$deb")"
grep -q ' postinst ' <<<"$info" || fail "no postinst in the control archive"
grep -q ' postrm ' <<<"$info" || fail "no postrm in the control archive"

# postinst re-triggers the instrument only, not every product of the shared vendor ID; a
# stand-in udevadm notes what it is asked to do.
dpkg-deb -e "$deb" "$out/control"
mkdir "$out/bin"
printf '#!/bin/sh\necho "$*" >>"%s/udevadm.log"\n' "$out" >"$out/bin/udevadm"
chmod +x "$out/bin/udevadm"
PATH="$out/bin:$PATH" sh "$out/control/postinst" configure
trigger="$(grep '^trigger ' "$out/udevadm.log")" || fail "postinst triggers no udev event"
[[ "$trigger" == *"--attr-match=idVendor=16c0"* && "$trigger" == *"--attr-match=idProduct=2b5e"* ]] ||
    fail "postinst triggers more than the instrument: udevadm $trigger"

listing="$(dpkg-deb -c "$deb")"
if grep -v '^[-dl][rwx-]\{9\} root/root ' <<<"$listing"; then
    fail "entries not owned by root/root"
fi
files="$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sed 's|^\./||' | LC_ALL=C sort)"
expected="$(expected_files "$cli" "$(configured_udev_dir "$build")")"
if [ "$files" != "$expected" ]; then
    diff <(echo "$expected") <(echo "$files") >&2 || true
    fail "package files differ from the list (< expected, > packaged)"
fi
grep -q ' \./usr/bin/zalvo -> \.\./lib/zalvo/zalvo$' <<<"$listing" ||
    fail "usr/bin/zalvo is no link to ../lib/zalvo/zalvo"

rm -rf "$out/root"
dpkg-deb -x "$deb" "$out/root"
if grep -q '\.debug_info' <<<"$(readelf -S "$out/root/usr/lib/zalvo/zalvo")"; then
    fail "the packaged program is not stripped"
fi
echo "$(basename "$deb"): $(wc -l <<<"$files") files as listed; Depends: $depends"
