#!/usr/bin/env bash
# The Debian package of a build, as cpack makes it: lintian finds no error
# or warning in it, and each manual page shows as a well-kept one does (its
# sections, no line over 80 columns, no warning from man, no build folder,
# no page that lists itself under SEE ALSO); the tools' --help fit 80 columns.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
for tool in cpack dpkg-deb lintian man; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

for tool in telvane-cli telvane-boardsim telvane-monitor; do
    wide=$("$build/bin/$tool" --help | awk 'length > 80')
    [ -z "$wide" ] || fail "$tool --help has lines over 80 columns:"$'\n'"$wide"
done

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    exit 1
fi
deb=$(ls "$work"/*.deb)
dpkg-deb -x "$deb" "$work/root"

for page in "$work"/root/usr/share/man/man1/*.1.gz; do
    name=$(basename "$page" .1.gz)
    text=$(MANWIDTH=80 man --warnings -l "$page" 2>"$work/warnings")
    if [ -s "$work/warnings" ]; then fail "$name(1): man warns: $(cat "$work/warnings")"; fi
    sections=(NAME SYNOPSIS DESCRIPTION "SEE ALSO")
    [ "$name" = telvane ] || sections+=(OPTIONS "EXIT STATUS")
    for section in "${sections[@]}"; do
        grep -qx "$section" <<<"$text" || fail "$name(1) has no $section"
    done
    wide=$(awk 'length > 80' <<<"$text")
    [ -z "$wide" ] || fail "$name(1) has lines over 80 columns:"$'\n'"$wide"
    if grep -qF "$build" <<<"$text"; then fail "$name(1) names the build folder $build"; fi
    if sed -n '/^SEE ALSO$/,$p' <<<"$text" | grep -qF " $name(1)"; then
        fail "$name(1) lists itself under SEE ALSO"
    fi
done

# Info tags (what Debian's own build flags would add) do not fail it.
if ! lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1; then
    fail "lintian:"$'\n'"$(cat "$work/lintian")"
fi
exit $failed
