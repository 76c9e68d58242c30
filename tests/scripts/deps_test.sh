#!/usr/bin/env bash
# scripts/deps.sh must notice a CMake package file that no listed Debian
# package brought (Qt6Charts needs Qt6OpenGL's, which only libqt6opengl6-dev
# ships), name the package, and, when it cannot install, print the command a
# root user would run instead of failing later inside CMake.
set -euo pipefail
deps=${VANTREL_SOURCE_DIR:?}/scripts/deps.sh
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Every CMake file the script looks for, as it lists them.
files=$(grep -oE '"[A-Za-z0-9]+/[A-Za-z0-9]+Config\.cmake:' "$deps" | tr -d '":')
[[ -n $files ]] || fail "no CMake files listed in deps.sh"
for f in $files; do mkdir -p "$fake/$(dirname "$f")" && touch "$fake/$f"; done

# All present: nothing to do.
VANTREL_DEPS_NO_INSTALL=1 VANTREL_DEPS_CMAKE_DIRS=$fake "$deps" >/dev/null 2>&1 \
  || fail "all packages present, yet deps.sh failed"

# Qt6OpenGL's files missing: the package is named and the root command shown.
rm -rf "$fake/Qt6OpenGL"
set +e
out=$(VANTREL_DEPS_NO_INSTALL=1 VANTREL_DEPS_CMAKE_DIRS=$fake "$deps" 2>&1)
rc=$?
set -e
[[ $rc -ne 0 ]] || fail "a missing CMake file was reported as success"
grep -q 'Qt6OpenGL/Qt6OpenGLConfig.cmake is missing; it comes with the package libqt6opengl6-dev' <<<"$out" \
  || fail "the missing file and its package are not named: $out"
grep -qE '^  apt-get install -y --no-install-recommends libqt6opengl6-dev$' <<<"$out" \
  || fail "no root command for the one missing package: $out"
echo PASS
