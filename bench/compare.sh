#!/usr/bin/env bash
# Runs each benchmark side by side with its peers on the same warm tree and
# prints one line per figure:
#
#   walk: ours 0.45 s, find 0.67 s, ratio 0.67
#
# Usage: bench/compare.sh [TREE]
#   TREE    the generated test tree, made when missing
#           (default: ${TMPDIR:-/tmp}/vantrel-bench-tree-200k, 200,000 files)
# Environment:
#   VANTREL_BENCH_BUILD  build folder (default: build-bench in the repository;
#                        configured and the benchmark targets built as needed)
#   RUNS                 runs per program; the best time counts (default 5)
#   BENCHES              the benchmarks to run, blank-separated (default: all)
#   BROWSE_FOLDER        one folder of 200,000 files for the browser, made when
#                        missing (default: ${TMPDIR:-/tmp}/vantrel-bench-folder-200k)
#
# Every program is timed as a whole process (start-up included), and ours and
# each peer take turns, so that a change of load on the machine hits both.
#
# To add a benchmark: write a function bench_NAME that sets the arrays OURS
# and PEER and calls `figure NAME PEER_LABEL` once per peer, add its targets
# to TARGETS and its name to ALL_BENCHES.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-${TMPDIR:-/tmp}/vantrel-bench-tree-200k}
tree=${tree%/}
build=${VANTREL_BENCH_BUILD:-$repo/build-bench}
runs=${RUNS:-5}

ALL_BENCHES=(walk dup stats dirhog clean dates browse content)
TARGETS=(make_tree walk_bench bare_walk dup_bench stats_bench stats_types_bench dirhog_bench clean_bench mods_bench browse_bench content_bench)
read -r -a benches <<<"${BENCHES:-${ALL_BENCHES[*]}}"

# --- helpers ---------------------------------------------------------------

build_targets() {
  local log
  log=$(mktemp)
  if { [[ -f $build/CMakeCache.txt ]] || cmake -S "$repo" -B "$build" -DVANTREL_BUILD_TESTS=OFF; } \
    >"$log" 2>&1 && cmake --build "$build" --target "${TARGETS[@]}" -j2 >>"$log" 2>&1; then
    rm -f "$log"
  else
    cat "$log" >&2
    rm -f "$log"
    echo "compare.sh: building the benchmarks failed" >&2
    exit 1
  fi
}

# Wall time of one run of the command, in nanoseconds; output discarded.
elapsed_ns() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $((end - start))
}

OURS=()
PEER=()

# figure NAME PEER_LABEL: times OURS and PEER in turns, best of $runs each,
# and prints the figure line.
figure() {
  local name=$1 peer=$2 best_ours="" best_peer="" t i
  for ((i = 0; i < runs; i++)); do
    t=$(elapsed_ns "${OURS[@]}")
    if [[ -z $best_ours || $t -lt $best_ours ]]; then best_ours=$t; fi
    t=$(elapsed_ns "${PEER[@]}")
    if [[ -z $best_peer || $t -lt $best_peer ]]; then best_peer=$t; fi
  done
  awk -v n="$name" -v p="$peer" -v o="$best_ours" -v q="$best_peer" \
    'BEGIN { printf "%s: ours %.2f s, %s %.2f s, ratio %.2f\n", n, o / 1e9, p, q / 1e9, o / q }'
}

# --- benchmarks --------------------------------------------------------------

bench_walk() {
  # The walk as the duplicates tool runs it: every file, its full record.
  OURS=("$build/bench/walk/walk_bench" "$tree")
  echo "# $("${OURS[@]}" --runs 3)"
  PEER=(find "$tree" -xdev -printf '%s %T@ %A@ %C@ %m %p\n')
  figure walk find
  PEER=(du -sx "$tree")
  figure walk du
  PEER=("$build/bench/walk/bare_walk" "$tree")
  figure walk bare-loop
}

bench_dup() {
  # The duplicates search ("Filename only", every file): the walk, a
  # candidate line per file, the sort and the grouping. The peer lists the
  # same files with name, size and date and sorts the lines without regard
  # to case.
  OURS=("$build/bench/dup/dup_bench" "$tree")
  echo "# $("${OURS[@]}" --fill)"
  echo "# $("${OURS[@]}" --hogs --fill)"
  PEER=(bash -c 'find "$1" -xdev -type f -printf "%f\t%s\t%TY%Tm%Td\t%p\n" | sort -f' _ "$tree")
  figure dup find+sort
}

bench_stats() {
  # A statistics collection: every entry kind, hidden folders entered, each
  # hard-linked file once, every accumulator fed in one pass. Against du
  # (which also stats every entry and counts hard links once) and against
  # the bare openat/fstatat loop; then the Types page with 100,000
  # extensions.
  OURS=("$build/bench/stats/stats_bench" "$tree")
  echo "# $("${OURS[@]}" --runs 3)"
  PEER=(du -sx "$tree")
  figure stats du
  PEER=("$build/bench/walk/bare_walk" "$tree")
  figure stats bare-loop
  echo "# $("$build/bench/stats/stats_types_bench" 100000 2>/dev/null)"
}

bench_dirhog() {
  # Folder hogs, headless: "&Main folders" (one total per folder under the
  # root) against du -sx, which walks the same entries for one total;
  # "&All Folders" (a row for every folder) against du -x, which prints a
  # line for every folder. Both count hidden folders and each hard-linked
  # file once. The figure lines time whole processes; the comment lines
  # give the survey's own time, its peak memory and the bytes it holds a
  # folder.
  OURS=("$build/bench/dirhog/dirhog_bench" "$tree")
  echo "# $("${OURS[@]}" --runs 3)"
  PEER=(du -sx "$tree")
  figure "folders main" "du -sx"
  OURS=("$build/bench/dirhog/dirhog_bench" --all "$tree")
  echo "# $("${OURS[@]}" --runs 3)"
  PEER=(du -x "$tree")
  figure "folders all" "du -x"
}

bench_clean() {
  # Quick clean with the six default patterns: hidden folders not entered,
  # hidden files seen, a name that cannot match never looked at, a row per
  # file found. The peer lists the same files (find still descends into the
  # hidden folders; it only leaves their files out).
  OURS=("$build/bench/clean/clean_bench" "$tree")
  echo "# $("${OURS[@]}" --runs 3)"
  PEER=(find "$tree" -xdev -not -path '*/.*/*' -type f \( -iname '*.tmp' -o -iname '*.temp' \
    -o -iname '*.fts' -o -iname '*.bak' -o -iname '*.old' -o -iname '*.$$$' \))
  figure clean find
}

bench_browse() {
  # The folder browser opened at one folder of 200,000 files, until the whole
  # list is in, sorted and painted (the first screen comes much earlier: see
  # the "#" line), against ls listing the same folder: names only (ls -f),
  # and with every file looked at, sorted and formatted (ls -l).
  local folder=${BROWSE_FOLDER:-${TMPDIR:-/tmp}/vantrel-bench-folder-200k}
  "$build/bench/browse/browse_bench" --make --first-screen "$folder" >/dev/null 2>&1
  ls -l "$folder" >/dev/null 2>&1 || true
  echo "# $("$build/bench/browse/browse_bench" --runs 3 "$folder" 2>/dev/null)"
  OURS=("$build/bench/browse/browse_bench" "$folder")
  PEER=(ls -f "$folder")
  figure browse "ls -f"
  PEER=(ls -l "$folder")
  figure browse "ls -l"
}

bench_dates() {
  # Files by date: "Last modified", "In between" 1 January and 31 December
  # 2020, every file, rows into the grid's model. The peer lists the same
  # files: regular, not hidden, outside hidden folders, modified within the
  # year in local time (the tree's times are whole seconds).
  OURS=("$build/bench/mods/mods_bench" --year 2020 "$tree")
  echo "# $("${OURS[@]}" --runs 3)"
  PEER=(find "$tree" -xdev -name '.*' -prune -o -type f
        -newermt '2019-12-31 23:59:59' ! -newermt '2020-12-31 23:59:59' -print)
  figure dates find
}

bench_content() {
  # "Same contents": files of equal size, then 4 KiB samples at both ends,
  # then a hash of every byte. The peer is jdupes over the same files
  # (hidden entries left out with -A, as our walk leaves out hidden files and
  # dot-folders; zero-byte files left out by both). Both must find the same
  # sets; then a cold run of each when caches can be dropped.
  if ! command -v jdupes >/dev/null; then
    echo "# jdupes not installed"
    return
  fi
  local ours_sets peer_sets raw
  ours_sets=$(mktemp) peer_sets=$(mktemp) raw=$(mktemp)
  OURS=("$build/bench/content/content_bench" "$tree")
  echo "# $("$build/bench/content/content_bench" --sets "$ours_sets" "$tree")"
  jdupes -r -q -A "$tree" >"$raw" 2>/dev/null || true
  "$build/bench/content/content_bench" --normalize "$raw" >"$peer_sets"
  if cmp -s "$ours_sets" "$peer_sets"; then
    echo "# sets equal ($(wc -l <"$ours_sets") sets)"
  else
    echo "# sets differ: ours $(wc -l <"$ours_sets"), jdupes $(wc -l <"$peer_sets"); first differences:"
    diff "$ours_sets" "$peer_sets" | head -5 | sed 's/^/#   /'
  fi
  rm -f "$ours_sets" "$peer_sets" "$raw"
  PEER=(jdupes -r -q -A "$tree")
  figure content jdupes
  # Cold: each program after the page cache is dropped, once.
  if [[ $(id -u) -eq 0 ]] && sync && echo 3 >/proc/sys/vm/drop_caches 2>/dev/null; then
    local cold_ours cold_peer
    cold_ours=$(elapsed_ns "${OURS[@]}")
    sync && echo 3 >/proc/sys/vm/drop_caches
    cold_peer=$(elapsed_ns "${PEER[@]}")
    awk -v o="$cold_ours" -v q="$cold_peer" \
      'BEGIN { printf "content cold: ours %.2f s, jdupes %.2f s, ratio %.2f\n", o / 1e9, q / 1e9, o / q }'
  else
    echo "# content cold: skipped (dropping the page cache needs root)"
  fi
}

# --- main ------------------------------------------------------------------------

build_targets
"$build/bench/tree/make_tree" "$tree" >/dev/null
# Warm the cache: every program below reads the same folders and inodes.
find "$tree" -xdev -printf '%s %T@ %p\n' >/dev/null 2>&1 || true
du -sx "$tree" >/dev/null 2>&1 || true

for b in "${benches[@]}"; do
  "bench_$b"
done
