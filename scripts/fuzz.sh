#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each for
# SECONDS (default 300), starting from the committed seed corpus. Prints how
# far each got (executions, coverage) and any finding, and exits non-zero
# when a target found something: a crash, a sanitizer report, a leak or a
# timeout. The input behind a finding is kept in build-fuzz/runs/<target>/
# and can be replayed with build-fuzz/fuzz/fuzz_<target> <file>.
#
# Leaks are checked once, when a target ends, over everything it ran: a
# check after every input would scan the GL driver's large heap each time
# and slow the run tenfold. To find the input behind a leak, replay the run's
# corpus with per-input checks:
#   build-fuzz/fuzz/fuzz_<target> -detect_leaks=1 -runs=0 build-fuzz/runs/<target>/corpus
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
#   TARGET: clock, quickstart (the default pair, run by CI), or one of the
#   examples: sinefield, tonegrade, crossfade
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]  (seconds per target, default 300)" >&2
  exit 2
fi
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(clock quickstart)
for target in "${targets[@]}"; do
  case "$target" in
    clock | quickstart | sinefield | tonegrade | crossfade) ;;
    *) echo "unknown target: $target (clock, quickstart, sinefield, tonegrade, crossfade)" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for symbolizer in llvm-symbolizer llvm-symbolizer-14 /usr/lib/llvm-14/bin/llvm-symbolizer; do
  if command -v "$symbolizer" >/dev/null; then
    export ASAN_SYMBOLIZER_PATH="$(command -v "$symbolizer")"
    break
  fi
done

status=0
for target in "${targets[@]}"; do
  work="build-fuzz/runs/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus"
  log="$work/fuzz.log"
  # The examples start from the quick-start seeds.
  seeds="$target"
  [ -d "fuzz/corpus/$target" ] || seeds=quickstart
  echo "== fuzz_$target: $seconds s"
  set +e
  "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=30 -max_len=2048 -detect_leaks=0 \
    -dict=fuzz/plugmain.dict -artifact_prefix="$work/" -print_final_stats=1 \
    "$work/corpus" "fuzz/corpus/$seeds" >"$log" 2>&1
  result=$?
  set -e

  edges=$(grep -o 'Loaded [0-9]* modules *([0-9]* inline 8-bit counters)' "$log" | grep -o '([0-9]*' | tr -d '(' | head -1)
  last=$(grep -E '^#[0-9]+' "$log" | tail -1)
  # A leak found at exit prints the final statistics twice; take the last.
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1 || true)
  cov=$(grep -o 'cov: [0-9]*' <<<"$last" | grep -o '[0-9]*' || true)
  ft=$(grep -o 'ft: [0-9]*' <<<"$last" | grep -o '[0-9]*' || true)
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1 || true)
  echo "   executions: ${runs:-?} (${rate:-?}/s)"
  echo "   coverage: ${cov:-?} of ${edges:-?} edges, ${ft:-?} features, corpus $(ls "$work/corpus" | wc -l) new inputs"

  artifacts=$(find "$work" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' -o -name 'slow-unit-*' \) | grep -v slow-unit || true)
  if [ "$result" -ne 0 ] || [ -n "$artifacts" ]; then
    status=1
    echo "   FINDING (exit $result): ${artifacts:-see log}"
    # The report: from the first sanitizer or driver line to the end.
    awk '/^==[0-9]+==|FINDING:|runtime error|ERROR: libFuzzer|^ALARM|Test unit written/ { on = 1 } on' "$log" | head -80
    echo "   full log: $log"
  else
    echo "   no finding"
  fi
done
exit $status
