#!/bin/sh
# The install and the Debian package: `cmake --install` puts every item in
# place, CPack makes a package that declares its dependencies, and the program
# unpacked from the package into a temporary root starts offscreen and finds
# its help pages and default alignment files there.
# Usage: install_test.sh BUILD_DIR
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >"$work/install.log" ||
    fail "cmake --install: $(cat "$work/install.log")"
for item in usr/bin/rp57 usr/bin/rp57cli usr/bin/rp57-radio-sim \
    usr/share/rp57/help/index.html usr/share/rp57/help/contexts.txt usr/share/rp57/mvmh.v57 \
    usr/share/rp57/hud.v57 usr/share/applications/rp57.desktop \
    usr/share/icons/hicolor/scalable/apps/rp57.svg usr/share/doc/rp57/README.md; do
    test -s "$work/stage/$item" || fail "cmake --install left out $item"
done
grep -q '^Exec=rp57' "$work/stage/usr/share/applications/rp57.desktop" ||
    fail "the menu entry does not start rp57"
grep -q 'dialout' "$work/stage/usr/share/doc/rp57/README.md" ||
    fail "the README has no note on the dialout group"

(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
    fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/package/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6printsupport6 libqt6network6 qt6-qpa-plugins libc6; do
    echo "$depends" | grep -q "$needed" || fail "package does not depend on $needed: $depends"
done
test "$(dpkg-deb -f "$deb" Package)" = rp57 || fail "package name"

dpkg-deb -x "$deb" "$work/root"
mkdir "$work/home"
where=$(RP57_HOME="$work/home" QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/rp57" --where) ||
    fail "installed rp57 --where: $where"
echo "$where" | grep -qx "help: $work/root/usr/share/rp57/help" ||
    fail "help pages not found in the package's root: $where"
echo "$where" | grep -qx "alignment: $work/root/usr/share/rp57" ||
    fail "alignment files not found in the package's root: $where"
RP57_HOME="$work/home" "$work/root/usr/bin/rp57cli" --version | grep -q '^rp57cli ' ||
    fail "installed rp57cli does not run"
echo "install and package: ok ($(basename "$deb"))"
