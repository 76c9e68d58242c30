#!/usr/bin/env bash
# Runs each benchmark side by side with its peers on the same warm tree and
# prints one line per figure:
#
#   walk: ours 0.45 s, find 0.67 s, ratio 0.67
#
# Usage: bench/compare.sh [--million] [TREE]
#   TREE       the generated test tree, made when missing
#              (default: ${TMPDIR:-/tmp}/vantrel-bench-tree-200k, 200,000 files)
#   --million  (or MILLION=1) the one-million-file set instead: makes, once,
#              ${TMPDIR:-/tmp}/vantrel-bench-tree-1m (some minutes; kept for
#              later runs) and runs walk, duplicates, file hogs, folder hogs,
#              statistics and files by date over it, each against its peer,
#              with the peak memory of ours and of the peer (/usr/bin/time).
#              RUNS defaults to 3 there.
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
million=${MILLION:-0}
if [[ ${1:-} == --million ]]; then
  million=1
  shift
fi
if [[ $million == 1 ]]; then
  tree=${1:-${TMPDIR:-/tmp}/vantrel-bench-tree-1m}
  RUNS=${RUNS:-3}
else
  tree=${1:-${TMPDIR:-/tmp}/vantrel-bench-tree-200k}
fi
tree=${tree%/}
build=${VANTREL_BENCH_BUILD:-$repo/build-bench}
runs=${RUNS:-5}

ALL_BENCHES=(walk dup stats dirhog clean dates browse grid cli content)
TARGETS=(make_tree walk_bench bare_walk dup_bench grid_bench stats_bench stats_types_bench dirhog_bench clean_bench mods_bench browse_bench vantrel content_bench)
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

# Drops the page cache (and the cached folders and inodes) so that the next
# run reads the disk; false when this process may not.
drop_caches() {
  sync && { echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null
}

# figure_cold NAME PEER_LABEL: as figure, with the cache dropped before every
# run of either; "NAME: skipped" when the cache cannot be dropped (not root).
figure_cold() {
  local name=$1 peer=$2 best_ours="" best_peer="" t i
  if [[ $(id -u) -ne 0 ]] || ! drop_caches; then
    echo "$name: skipped"
    return
  fi
  for ((i = 0; i < runs; i++)); do
    drop_caches
    t=$(elapsed_ns "${OURS[@]}")
    if [[ -z $best_ours || $t -lt $best_ours ]]; then best_ours=$t; fi
    drop_caches
    t=$(elapsed_ns "${PEER[@]}")
    if [[ -z $best_peer || $t -lt $best_peer ]]; then best_peer=$t; fi
  done
  awk -v n="$name" -v p="$peer" -v o="$best_ours" -v q="$best_peer" \
    'BEGIN { printf "%s: ours %.2f s, %s %.2f s, ratio %.2f\n", n, o / 1e9, p, q / 1e9, o / q }'
  # Leave the cache warm for the benchmarks that follow.
  du -sx "$tree" >/dev/null 2>&1 || true
  find "$tree" -xdev -printf '%s %T@ %p\n' >/dev/null 2>&1 || true
}

# The figure of OURS against the same program walking with one thread
# (the walk before it read ahead in parallel).
one_thread() {
  PEER=(env VANTREL_WALK_THREADS=1 "${OURS[@]}")
  figure "$1" one-thread
}

bench_walk() {
  # The walk as the duplicates tool runs it: every file, its full record.
  # Ours with its default threads against ours with the walking thread
  # alone (the walk before it read ahead), du -sx (one thread, every
  # entry looked at), find and the bare one-thread openat/fstatat loop;
  # then the same from a cold cache against du -sx (as root only).
  OURS=("$build/bench/walk/walk_bench" "$tree")
  echo "# $("${OURS[@]}" --runs 3)"
  echo "# $("${OURS[@]}" --runs 3 --threads 1)"
  PEER=("$build/bench/walk/walk_bench" --threads 1 "$tree")
  figure walk one-thread
  PEER=(du -sx "$tree")
  figure walk "du -sx"
  PEER=(find "$tree" -xdev -printf '%s %T@ %A@ %C@ %m %p\n')
  figure walk find
  PEER=("$build/bench/walk/bare_walk" "$tree")
  figure walk bare-loop
  PEER=(du -sx "$tree")
  figure_cold cold "du -sx"
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
  # The same search as a pipeline that keeps only the names found more than
  # once (the target is 0.8 of it); the "#" line above gives the bytes a
  # candidate takes at the peak.
  PEER=(bash -c 'find "$1" -xdev -type f -printf "%f\t%s\n" | LC_ALL=C sort -f | LC_ALL=C uniq -D -i' _ "$tree")
  figure dup "find|sort|uniq"
  one_thread dup
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
  one_thread stats
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
  one_thread "folders main"
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
  one_thread clean
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
  one_thread dates
}

bench_cli() {
  # The command line, each tool's search as a whole process writing its rows
  # (to /dev/null), against the shell pipeline that lists the same files.
  local v=$build/src/app/vantrel
  OURS=("$v" dups --min-size 0 "$tree")
  PEER=(bash -c 'find "$1" -xdev -name ".*" -prune -o -type f -printf "%f\t%s\t%p\n" | sort -f' _ "$tree")
  figure cli-dups find+sort
  OURS=("$v" hogs --min-size 0 "$tree")
  PEER=(bash -c 'find "$1" -xdev -name ".*" -prune -o -type f -printf "%s\t%T@\t%A@\t%p\n" | sort -rn' _ "$tree")
  figure cli-hogs find+sort
  OURS=("$v" folders "$tree")
  PEER=(du -x --max-depth=1 "$tree")
  figure cli-folders "du -x --max-depth=1"
  OURS=("$v" dates --modified --after 2020-01-01 --before 2020-12-31 "$tree")
  PEER=(find "$tree" -xdev -name '.*' -prune -o -type f
        -newermt '2019-12-31 23:59:59' ! -newermt '2020-12-31 23:59:59' -print)
  figure cli-dates find
  OURS=("$v" clean --patterns '*.tmp,*.temp,*.fts,*.bak,*.old,*.$$$' "$tree")
  PEER=(find "$tree" -xdev -not -path '*/.*/*' -type f \( -iname '*.tmp' -o -iname '*.temp' \
    -o -iname '*.fts' -o -iname '*.bak' -o -iname '*.old' -o -iname '*.$$$' \))
  figure cli-clean find
  OURS=("$v" stats "$tree")
  PEER=(du -sx "$tree")
  figure cli-stats "du -sx"
  if command -v jdupes >/dev/null; then
    # Reads every candidate byte of the tree's large files: one run.
    local runs=1
    OURS=("$v" dups --criterion contents --min-size 0 "$tree")
    PEER=(jdupes -r -q -A "$tree")
    figure cli-contents "jdupes -r -q -A"
  else
    echo "# jdupes not installed"
  fi
}

bench_grid() {
  # The result grid with 1,000,000 rows: fill, the three sorts, mark all and
  # unmark all, each against its target time (not a peer).
  "$build/bench/grid/grid_bench" 1000000 | sed -e '/^grid [a-z ]*:/!s/^/# /'
}

# --- the one-million-file set ----------------------------------------------

# Peak resident memory of one run of the command, in MiB (GNU time), or "?".
peak_mib() {
  local out
  out=$(mktemp)
  [[ -x /usr/bin/time ]] && /usr/bin/time -f '%M' -o "$out" "$@" >/dev/null 2>&1 || true
  if [[ -s $out ]]; then
    awk '{ k = $1 } END { printf "%.0f", k / 1024 }' "$out"
  else
    echo "?"
  fi
  rm -f "$out"
}

# million_figure NAME PEER_LABEL: figure, then the peak memory of both.
million_figure() {
  figure "$1" "$2"
  echo "# $1 peak memory: ours $(peak_mib "${OURS[@]}") MiB, $2 $(peak_mib "${PEER[@]}") MiB"
}

run_million() {
  local t=$tree
  OURS=("$build/bench/walk/walk_bench" "$t")
  PEER=(du -sx "$t")
  million_figure "1m walk" "du -sx"

  OURS=("$build/bench/dup/dup_bench" "$t")
  echo "# $("${OURS[@]}")"
  PEER=(bash -c 'find "$1" -xdev -type f -printf "%f\t%s\n" | LC_ALL=C sort -f | LC_ALL=C uniq -D -i' _ "$t")
  million_figure "1m dup" "find|sort|uniq"

  # File hogs: every file a row, largest first, into the grid's model.
  OURS=("$build/bench/dup/dup_bench" --hogs --fill "$t")
  echo "# $("${OURS[@]}")"
  PEER=(bash -c 'find "$1" -xdev -type f -printf "%s\t%p\n" | LC_ALL=C sort -rn' _ "$t")
  million_figure "1m hogs" "find|sort"

  OURS=("$build/bench/dirhog/dirhog_bench" "$t")
  echo "# $("${OURS[@]}")"
  PEER=(du -sx "$t")
  million_figure "1m folder hogs" "du -sx"
  if command -v gdu >/dev/null 2>&1; then
    PEER=(gdu -n -x "$t")
    million_figure "1m folder hogs" "gdu -n -x"
  else
    echo "# gdu: not installed"
  fi

  OURS=("$build/bench/stats/stats_bench" "$t")
  echo "# $("${OURS[@]}")"
  PEER=(du -sx "$t")
  million_figure "1m statistics" "du -sx"

  OURS=("$build/bench/mods/mods_bench" --year 2020 "$t")
  echo "# $("${OURS[@]}")"
  PEER=(find "$t" -xdev -name '.*' -prune -o -type f
        -newermt '2019-12-31 23:59:59' ! -newermt '2020-12-31 23:59:59' -print)
  million_figure "1m files by date" find
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
  # jdupes reads every byte of the tree's large sparse files: one run each.
  local runs=1
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
if [[ $million == 1 ]]; then
  "$build/bench/tree/make_tree" --files 1000000 "$tree" >/dev/null
  find "$tree" -xdev -printf '%s %T@ %p\n' >/dev/null 2>&1 || true
  du -sx "$tree" >/dev/null 2>&1 || true
  run_million
  exit 0
fi
"$build/bench/tree/make_tree" "$tree" >/dev/null
# Warm the cache: every program below reads the same folders and inodes.
find "$tree" -xdev -printf '%s %T@ %p\n' >/dev/null 2>&1 || true
du -sx "$tree" >/dev/null 2>&1 || true

for b in "${benches[@]}"; do
  "bench_$b"
done
