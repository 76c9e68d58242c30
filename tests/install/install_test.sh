#!/usr/bin/env bash
# Installs the built program into a temporary prefix, as `cmake --install`
# does for a user, and checks what a desktop finds there: the program and
# its help file, a valid menu entry and AppStream metadata, the icon, the
# manual page; then starts the installed program, as a command and with its
# windows (headless).
# Arguments: the build folder.
set -euo pipefail
build=${1:?build folder}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/vantrel share/vantrel/vantrel.hlp \
         share/applications/org.vantrel.Vantrel.desktop \
         share/metainfo/org.vantrel.Vantrel.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.vantrel.Vantrel.svg \
         share/man/man1/vantrel.1.gz; do
  [[ -f $prefix/$f ]] || fail "not installed: $f"
done
# Nothing of the tests or benchmarks goes along.
extra=$(find "$prefix" -type f | grep -vE '/(bin/vantrel|share/(vantrel|applications|metainfo|icons|man)/.*)$' || true)
[[ -z $extra ]] || fail "installed besides the program: $extra"

desktop-file-validate "$prefix/share/applications/org.vantrel.Vantrel.desktop" \
  || fail "desktop entry invalid"
appstreamcli validate --no-net "$prefix/share/metainfo/org.vantrel.Vantrel.metainfo.xml" \
  || fail "AppStream metadata invalid"
# The entry starts the installed program by name and shows the installed icon.
grep -qx 'Exec=vantrel' "$prefix/share/applications/org.vantrel.Vantrel.desktop" || fail "Exec"
grep -qx 'Icon=org.vantrel.Vantrel' "$prefix/share/applications/org.vantrel.Vantrel.desktop" \
  || fail "Icon"
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/org.vantrel.Vantrel.svg" || fail "icon"

# The manual page formats without a warning.
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/vantrel.1.gz" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "manual page: $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$prefix/share/man/man1/vantrel.1.gz" 2>/dev/null | grep -q 'EXIT STATUS' \
    || fail "manual page lacks its exit statuses"
fi

# The installed program as a command, without a display.
version=$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/vantrel" --version)
[[ $version == "vantrel "* ]] || fail "--version said: $version"
set +e
env -u DISPLAY QT_QPA_PLATFORM=xcb "$prefix/bin/vantrel" folders "$prefix" >"$prefix.out" 2>&1
rc=$?
set -e
grep -q "$prefix/share" "$prefix.out" || { cat "$prefix.out" >&2; rm -f "$prefix.out"; fail "folders (status $rc)"; }
rm -f "$prefix.out"
[[ $rc -eq 0 ]] || fail "folders exited $rc"

# The installed program with its windows, headless: it must come up and
# stay up (it is stopped after a while; a crash or a refusal to start ends
# it earlier with another status).
set +e
QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/vantrel" >/dev/null 2>&1
rc=$?
set -e
[[ $rc -eq 124 ]] || fail "the installed program ended with status $rc instead of running"
echo "installed and started from $prefix"
