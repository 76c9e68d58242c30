#!/usr/bin/env bash
# Takes the README's pictures: starts Vantrel under a virtual X server on a
# small generated tree, opens each tool from the launcher, runs its search
# and saves a picture of its window in docs/screenshots/ (PNG, 8-bit
# palette, kept small).
#
# The program runs with a home and settings of its own in a temporary
# folder; the tree is added to its drive list through the Folders section of
# that settings file and started from inside it, so that it is the entry the
# tools tick. Nothing of the user's is read or changed.
#
# Usage: scripts/screenshots.sh [BUILD_FOLDER]   (default: build; built as needed)
# Needs: xvfb-run, xdotool, ImageMagick (import, convert).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$repo/build}")
out=$repo/docs/screenshots
for tool in xvfb-run xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 1; }
done
if [[ ! -x $build/src/app/vantrel ]]; then
  cmake -S "$repo" -B "$build" -DVANTREL_BUILD_TESTS=OFF -DVANTREL_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --target vantrel -j2
fi
mkdir -p "$out"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-demo.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
tree=$scratch/home/Projects

# --- the tree: copies, big files, temporary files, old and new files -------
mk() {  # mk PATH SIZE [DATE]
  mkdir -p "$(dirname "$tree/$1")"
  head -c "$2" /dev/zero | tr '\0' "${4:-x}" >"$tree/$1"
  [[ -z ${3:-} ]] || touch -m -d "$3" "$tree/$1"  # accessed today
}
mk photos/2023/beach.jpg 2400000 "2023-07-14 10:12" a
mk photos/2023/sunset.jpg 1800000 "2023-07-15 20:40" b
mk photos/2024/garden.jpg 2100000 "2024-05-02 09:30" c
mk "photos/2024/beach (copy).jpg" 2400000 "2023-07-14 10:12" a
mk backup/photos/beach.jpg 2400000 "2023-07-14 10:12" a
mk backup/photos/sunset.jpg 1800000 "2023-07-15 20:40" b
mk backup/report.docx 640000 "2022-11-30 16:05" d
mk documents/report.docx 640000 "2022-11-30 16:05" d
mk documents/budget.xlsx 310000 "2024-01-08 11:00" e
mk documents/notes.txt 12000 "2024-02-11 08:45" f
mk documents/notes.txt.bak 11800 "2024-02-10 18:20" f
mk music/album/01-intro.mp3 5200000 "2021-03-03 12:00" g
mk music/album/02-theme.mp3 7400000 "2021-03-03 12:00" h
mk music/album/02-theme.mp3.old 7400000 "2020-12-24 12:00" h
mk video/holiday.mp4 48000000 "2023-08-01 19:00" i
mk downloads/installer.iso 96000000 "2024-06-20 14:30" j
mk downloads/setup.tmp 2200000 "2024-06-20 14:31" k
mk downloads/~cache.tmp 450000 "2024-06-20 14:32" l
mk src/build/main.o 820000 "2024-06-21 10:00" m
mk src/build/app.tmp 130000 "2024-06-21 10:01" n
mk src/main.cpp 24000 "2024-06-21 09:58" o
mk src/main.cpp.bak 23800 "2024-06-20 17:00" o

# --- settings: the tree in the drive list ----------------------------------
mkdir -p "$scratch/config/vantrel" "$scratch/data" "$scratch/cache" "$scratch/runtime"
chmod 700 "$scratch/runtime"
printf '[Folders]\nNumber=1\nFile1=%s\n' "$tree" >"$scratch/config/vantrel/vantrel.ini"

cat >"$scratch/shoot.sh" <<'INNER'
set -euo pipefail
[[ -z ${SCREENSHOTS_TRACE:-} ]] || set -x
cd "$TREE"
"$VANTREL" >"$SCRATCH/vantrel.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
launcher=$(xdotool search --sync --name '^Vantrel Version')
sleep 1

# shoot NAME WINDOW: the window's picture, reduced to a 128-colour palette.
shoot() {
  import -window "$2" "$SCRATCH/$1.png"
  convert "$SCRATCH/$1.png" -colors 128 -strip "PNG8:$OUT/$1.png"
}
# press WINDOW KEYS...: keys to a window, after giving it the focus.
press() {
  local w=$1
  shift
  xdotool windowactivate --sync "$w" 2>/dev/null || xdotool windowfocus --sync "$w"
  xdotool key --clearmodifiers "$@"
}
# tool NAME LAUNCHER_KEY TITLE START_KEYS...: opens a tool, runs its search,
# takes its picture and closes it.
tool() {
  local name=$1 key=$2 title=$3
  shift 3
  press "$launcher" "$key"
  local w
  w=$(xdotool search --sync --name "$title" | head -1)
  sleep 1
  [[ $# -eq 0 ]] || press "$w" "$@"
  sleep 3
  [[ -z ${SCREENSHOTS_TRACE:-} ]] || import -window root "$SCRATCH/../screen-$name.png"
  shoot "$name" "$w"
  press "$w" Escape
  sleep 1
}

shoot launcher "$launcher"
tool duplicates alt+d '^Find and delete duplicate files$' alt+s
tool file-hogs alt+f '^Find and delete file hogs$' alt+s
tool files-by-date alt+a '^Files in a range of dates$' alt+s
tool folder-hogs alt+h '^Folder Hogs$' alt+m
tool quick-clean alt+q '^Find and delete temporary files$' alt+s
tool browse alt+b '^Browse through folders$' Down Down
# Statistics: collect through the drive and file-type wizard (the tree,
# all files), then show the Types page.
press "$launcher" alt+s
w=$(xdotool search --sync --name '^File Statistics' | head -1)
sleep 1
press "$w" alt+c
sleep 1
xdotool key --clearmodifiers alt+n
sleep 1
xdotool key --clearmodifiers alt+a alt+n
sleep 1
xdotool key --clearmodifiers Return  # "... will be scanned": OK
sleep 4
xdotool mousemove --window "$w" 171 24 click 1  # the Types page
sleep 1
[[ -z ${SCREENSHOTS_TRACE:-} ]] || import -window root "$SCRATCH/../screen-statistics.png"
shoot statistics "$w"
INNER

export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export XDG_CACHE_HOME=$scratch/cache XDG_RUNTIME_DIR=$scratch/runtime
unset LC_ALL
export LANG=en_US.UTF-8 LC_CTYPE=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=xcb
export TREE=$tree SCRATCH=$scratch OUT=$out VANTREL=$build/src/app/vantrel
xvfb-run -a -s '-screen 0 1280x1024x24' bash "$scratch/shoot.sh"
ls -l "$out"
