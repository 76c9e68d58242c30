#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vantrel
# need, when any of them is missing. Runs apt-get as root, or through sudo.
#
# A package can be present and still leave CMake without a file it needs
# (Debian 12's Qt6Charts cmake files load Qt6OpenGL's, which only
# libqt6opengl6-dev ships), so besides asking dpkg it also looks for every
# CMake package file the build loads and names the Debian package behind a
# missing one. When it cannot install, it prints the one command a root user
# would run.
#
# For tests: VANTREL_DEPS_CMAKE_DIRS replaces the folders searched for CMake
# package files (blank-separated), and VANTREL_DEPS_NO_INSTALL=1 reports what
# is missing as a user who cannot install would see it, without installing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins
  libdeflate-dev libxxhash-dev shared-mime-info
  googletest libgtest-dev libgmock-dev
  fonts-dejavu-core fonts-liberation2 tzdata
  # The tests also look at windows as the X server shows them (their
  # titles), under a virtual X server.
  xvfb xauth libxcb1-dev
  # The install test validates the menu entry and the AppStream metadata and
  # reads the manual page; cpack's .deb takes its dependencies from
  # dpkg-shlibdeps (dpkg-dev), which needs file.
  desktop-file-utils appstream man-db dpkg-dev file
)

# CMake package files the build loads, each with the Debian package that ships it.
read -r -a cmake_dirs <<<"${VANTREL_DEPS_CMAKE_DIRS:-$(echo /usr/lib/*/cmake /usr/lib/cmake /usr/share/cmake)}"
cmake_file_present() {
  local d
  for d in "${cmake_dirs[@]}"; do [[ -f $d/$1 ]] && return 0; done
  return 1
}
cmake_files=(
  "Qt6/Qt6Config.cmake:qt6-base-dev"
  "Qt6Core/Qt6CoreConfig.cmake:qt6-base-dev"
  "Qt6Widgets/Qt6WidgetsConfig.cmake:qt6-base-dev"
  "Qt6PrintSupport/Qt6PrintSupportConfig.cmake:qt6-base-dev"
  "Qt6Test/Qt6TestConfig.cmake:qt6-base-dev"
  "Qt6OpenGL/Qt6OpenGLConfig.cmake:libqt6opengl6-dev"
  "Qt6OpenGLWidgets/Qt6OpenGLWidgetsConfig.cmake:libqt6opengl6-dev"
  "Qt6Charts/Qt6ChartsConfig.cmake:qt6-charts-dev"
  "GTest/GTestConfig.cmake:libgtest-dev"
)

missing=()
add_missing() {
  local p
  for p in "${missing[@]}"; do [[ $p == "$1" ]] && return; done
  missing+=("$1")
}
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    add_missing "$p"
  fi
done
for entry in "${cmake_files[@]}"; do
  file=${entry%%:*} pkg=${entry##*:}
  if ! cmake_file_present "$file"; then
    echo "CMake file $file is missing; it comes with the package $pkg." >&2
    add_missing "$pkg"
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

can_install=1 as_root=()
if [[ ${VANTREL_DEPS_NO_INSTALL:-0} == 1 ]]; then
  can_install=0
elif [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    as_root=(sudo -n)
  else
    can_install=0
  fi
fi
if [[ $can_install -eq 0 ]]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "This user can neither install them nor use sudo. As root, run:" >&2
  echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq || true
if ! "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
  echo "Installing failed. As root, run:" >&2
  echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
