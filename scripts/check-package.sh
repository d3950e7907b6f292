#!/usr/bin/env bash
# Builds the .deb as it is shipped (preset `deb`: Debian's build flags) and checks it the way
# Debian does and a desktop needs it: lintian without a single remark, the declared
# dependencies, the hardening of both programs, and the icons of every size.
#   scripts/check-package.sh [PACKAGE.deb]   (without a package it builds one first)
set -euo pipefail
cd "$(dirname "$0")/.."
lock() { if [ -n "${BUILD_LOCK:-}" ]; then flock "$BUILD_LOCK" "$@"; else "$@"; fi; }

deb="${1:-}"
if [ -z "$deb" ]; then
    scripts/packages.sh
    cmake --preset deb >/dev/null
    lock cmake --build --preset deb -j"$(nproc)"
    (cd build/deb && lock cpack >/dev/null)
    deb="build/deb/dimeditor_$(sed -n 's/^project(dimeditor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)_amd64.deb"
fi
failed=0
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }

# Debian's checker, every tag it knows, informational and pedantic ones included.
remarks="$(lintian -I -E --pedantic "$deb" 2>/dev/null || true)"
[ -z "$remarks" ] || fail "lintian: $remarks"

# Found at run time rather than linked: required where the programs cannot run without them,
# recommended where the editor works without them.
depends="$(dpkg-deb -f "$deb" Depends)"
recommends="$(dpkg-deb -f "$deb" Recommends)"
for field in "depends qt6-qpa-plugins" "depends fonts-liberation2" "depends fonts-dejavu-core" \
    "recommends qt6-translations-l10n" "recommends qt6-wayland"; do
    set -- $field
    other=recommends
    [ "$1" = recommends ] && other=depends
    [[ ", ${!1}," == *", $2"[\ ,]* ]] || fail "$2 not in $1: ${!1}"
    [[ ", ${!other}," != *", $2"[\ ,]* ]] || fail "$2 also in $other: ${!other}"
done

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"

# Both programs as Debian builds them: stack protector and fortified calls from
# dpkg-buildflags, no run path, no compiler notes.
for program in dimeditor dimtool; do
    binary="$unpacked/usr/bin/$program"
    symbols="$(nm -D "$binary")"
    grep -q ' U __stack_chk_fail' <<<"$symbols" || fail "$program has no stack protector"
    grep -q ' U __[a-z]*_chk' <<<"$symbols" || fail "$program calls no fortified function"
    ! grep -q 'R\(UN\)\?PATH' <<<"$(readelf -d "$binary")" || fail "$program has a run path"
    ! grep -q ' \.comment ' <<<"$(readelf -S "$binary")" || fail "$program has a .comment section"
done

# The icons: the application's and the curve files' at every size, each picture of the size
# its folder says, under the names the desktop entry and the MIME type give.
icons="$unpacked/usr/share/icons/hicolor"
app_icon="$(sed -n 's/^Icon=//p' "$unpacked/usr/share/applications/dimeditor.desktop")"
mime_icon="$(sed -n 's/.*<icon name="\([^"]*\)".*/\1/p' "$unpacked/usr/share/mime/packages/dimeditor.xml")"
[ "$mime_icon" = application-x-dimming-curve ] || fail "the MIME type's icon is '$mime_icon'"
expected=""
for size in 16 22 24 32 48 64 128 256; do
    for icon in "apps/$app_icon" "mimetypes/$mime_icon"; do
        path="${size}x${size}/$icon.png"
        expected+="$path"$'\n'
        [ -f "$icons/$path" ] || continue
        geometry="$(file -b "$icons/$path" | sed -n 's/^PNG image data, \([0-9]*\) x \([0-9]*\),.*/\1x\2/p')"
        [ "$geometry" = "${size}x${size}" ] || fail "$path is $geometry"
    done
done
listed="$(cd "$icons" && find . -type f | sed 's|^\./||' | sort)"
[ "$listed" = "$(printf '%s' "$expected" | sort)" ] ||
    fail "icons: $(diff <(printf '%s' "$expected" | sort) <(echo "$listed") | grep '^[<>]' | tr '\n' ' ')"

if [ "$failed" -ne 0 ]; then
    echo "The package has $failed fault(s): $deb"
    exit 1
fi
echo "The package passes lintian and its checks: $deb"
