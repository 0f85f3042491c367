#!/bin/sh
# scripts/fuzz-smoke.sh on an entry point with planted faults: an overflow and a leak each fail
# the run, which names the input it left and the log; a target without findings passes.
# Usage: smoke_test.sh SOURCE_DIR PLANTED_BINARY
set -eu
src=$1
binary=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
tab=$(printf '\t')

# smoke CORPUS: runs the script on a build folder that lists only the planted entry point.
smoke() {
  rm -rf "$tmp/build"
  mkdir -p "$tmp/build/fuzz"
  printf '%s%s%s\n' "$binary" "$tab" "$src/fuzz/selftest/$1" >"$tmp/build/fuzz/fuzz_targets.txt"
  status=0
  sh "$src/scripts/fuzz-smoke.sh" "$tmp/build" 2 >"$tmp/out.txt" 2>&1 || status=$?
  cat "$tmp/out.txt"
}

name=$(basename "$binary")
for kind in overflow leak; do
  smoke corpus-$kind
  [ "$status" -ne 0 ] || fail "a planted $kind passed"
  input=$(sed -n "s/^fuzz-smoke: $name failing input: //p" "$tmp/out.txt")
  [ -n "$input" ] || fail "the $kind run names no input"
  [ -f "$input" ] || fail "the $kind input $input is not there"
  case "$input" in "$tmp/build/fuzz-smoke/$name/"*) ;; *) fail "$input is outside the build" ;; esac
  [ "$(cat "$input")" = "$kind" ] || fail "$input is not the planted $kind"
  grep -q "log: $tmp/build/fuzz-smoke/$name/fuzz.log" "$tmp/out.txt" || fail "no log named"
  grep -qx "fuzz-smoke: 1 targets, 2 s each, 1 with findings" "$tmp/out.txt" || fail "no summary"
done
grep -q "SUMMARY: LeakSanitizer\|ERROR: LeakSanitizer\|detected memory leaks" "$tmp/out.txt" ||
  fail "the leak report is not shown"

smoke corpus-clean
[ "$status" -eq 0 ] || fail "a clean target failed"
grep -qx "fuzz-smoke: 1 targets, 2 s each, 0 with findings" "$tmp/out.txt" || fail "no summary"
grep -q "^fuzz-smoke: $name ok, 2 s, [0-9]* runs" "$tmp/out.txt" || fail "no line for the clean run"
[ -z "$(find "$tmp/build/fuzz-smoke" -name 'crash-*')" ] || fail "a clean run left a crash file"
# New inputs go to the scratch folder, never into the committed corpus.
[ "$(ls "$src/fuzz/selftest/corpus-clean")" = "plain" ] || fail "the committed corpus grew"
echo "fuzz smoke self-test passed"
