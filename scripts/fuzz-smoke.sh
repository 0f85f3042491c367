#!/bin/sh
# Runs every libFuzzer target of a fuzz-enabled build for a short while, each from its committed
# corpus, and fails when any of them finds an input that crashes, hangs, leaks, runs out of
# memory or meets undefined behaviour. The failing input is left where the log says.
#
#   scripts/fuzz-smoke.sh [BUILD_DIR [SECONDS]]     (defaults: build-asan, 10)
#
# BUILD_DIR must be configured with -DQUORVEX_BUILD_FUZZ=ON (scripts/sanitize.sh does so).
# New inputs go to a scratch folder under BUILD_DIR/fuzz-smoke/, never into fuzz/corpus/.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build-asan}
seconds=${2:-10}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
list="$build/fuzz/fuzz_targets.txt"
if [ ! -f "$list" ]; then
  echo "fuzz-smoke.sh: no $list; configure $build with -DQUORVEX_BUILD_FUZZ=ON" >&2
  exit 1
fi
supp="$root/scripts/sanitize-suppressions"
# libFuzzer installs its own crash handlers; the sanitizers only need to stop at the first report.
ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1:suppressions=$supp/asan.supp"
LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$supp/ubsan.supp"
export ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
work="$build/fuzz-smoke"
rm -rf "$work"
mkdir -p "$work"

tab=$(printf '\t')
ran=0
failed=0
while IFS="$tab" read -r binary corpus; do
  [ -n "$binary" ] || continue
  case "$binary" in /*) ;; *) binary="$root/$binary" ;; esac
  case "$corpus" in /*) ;; *) corpus="$root/$corpus" ;; esac
  name=$(basename "$binary")
  out="$work/$name"
  mkdir -p "$out/new"
  ran=$((ran + 1))
  if [ ! -x "$binary" ] || [ ! -d "$corpus" ]; then
    echo "fuzz-smoke: $name: missing binary $binary or corpus $corpus" >&2
    failed=$((failed + 1))
    continue
  fi
  # The scratch folder first: libFuzzer writes what it finds into the first folder only.
  # -timeout: one input taking longer is a finding (the default, 1200 s, outlasts the run).
  # Run from the target's own folder: readers may write their log files into the working one.
  status=0
  (cd "$out" && exec "$binary" "$out/new" "$corpus" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -dict="$root/fuzz/integers.dict" -artifact_prefix="$out/" \
      -print_final_stats=1) >"$out/fuzz.log" 2>&1 || status=$?
  findings=$(find "$out" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' \
      -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
  # A report that did not end the run (a build whose undefined behaviour recovers) still fails.
  reports=$(grep -c -E 'runtime error:|ERROR: (Address|Leak|UndefinedBehavior)Sanitizer' \
      "$out/fuzz.log" || true)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/fuzz.log" | tail -n 1)
  added=$(find "$out/new" -type f | wc -l)
  if [ "$status" -ne 0 ] || [ -n "$findings" ] || [ "$reports" -ne 0 ]; then
    failed=$((failed + 1))
    echo "fuzz-smoke: $name FAILED (exit $status, ${runs:-?} runs); log: $out/fuzz.log"
    grep -E 'ERROR:|runtime error:|SUMMARY:|^==[0-9]+== *(ERROR|WARNING)|Test unit written' \
        "$out/fuzz.log" | head -n 20 | sed 's/^/    /'
    for f in $findings; do
      echo "fuzz-smoke: $name failing input: $f"
      echo "    replay: $binary $f"
    done
  else
    echo "fuzz-smoke: $name ok, ${seconds} s, ${runs:-?} runs, $added new inputs"
  fi
done <"$list"

if [ "$ran" -eq 0 ]; then
  echo "fuzz-smoke.sh: $list names no target" >&2
  exit 1
fi
echo "fuzz-smoke: $ran targets, ${seconds} s each, $failed with findings"
[ "$failed" -eq 0 ]
