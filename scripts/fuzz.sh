#!/usr/bin/env bash
# Builds the libFuzzer target of the data-file readers with clang into build-fuzz/ and runs
# it for each reader check (ZT_FUZZ_TARGET=list names them), as many at a time as there are cores:
#   scripts/fuzz.sh [seconds]   explores for that long per target (20 s unless told), from a
#                               new random seed each time: the way to look for new faults;
#   scripts/fuzz.sh --runs N    tries N inputs per target from a fixed seed, so two runs of
#                               the same code try (nearly) the same inputs: CI's check.
# Each target starts from its seed corpus (tests/fuzz/corpus/<target>) and the inputs that
# once broke it (tests/fuzz/regressions/<target>); what it learns goes to
# build-fuzz/corpus/<target>. An input that crashes, hangs, leaks or trips a sanitizer is
# written to build-fuzz/findings/<target>/ and the script fails. Fix the reader, then copy
# the input to tests/fuzz/regressions/<target>/ so that every test run reads it again.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--runs" ]; then
  # A repeatable run learns only from what it tries: it starts from an empty corpus
  # folder, no choice of the fuzzer depends on how long an input took, and the addresses
  # the readers compare are the same in every run (no address randomisation).
  launch=(setarch "$(uname -m)" -R)
  limit=(-seed=1 -runs="${2:?--runs needs a number}" -reload=0)
  rm -rf build-fuzz/corpus
else
  # Slow inputs (a picture may claim 4096 x 4096 pixels in a few bytes) get less of the
  # fuzzer's attention, so the short runs keep their pace.
  launch=()
  limit=(-max_total_time="${1:-20}" -entropic_scale_per_exec_time=1)
fi
scripts/deps.sh fuzz
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DZT_FUZZ=ON -DZT_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g"
cmake --build build-fuzz --target fuzz_readers -j2

fuzzer=build-fuzz/tests/fuzz/fuzz_readers
mapfile -t targets < <(ZT_FUZZ_TARGET=list "$fuzzer")
[ ${#targets[@]} -gt 0 ] || { echo "$fuzzer lists no reader checks" >&2; exit 1; }
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_target() {
  local target=$1 dict=()
  mkdir -p "build-fuzz/corpus/$target" "build-fuzz/findings/$target"
  if [ -f "tests/fuzz/dict/$target.dict" ]; then dict=(-dict="tests/fuzz/dict/$target.dict"); fi
  local seeds=("tests/fuzz/corpus/$target")
  if [ -d "tests/fuzz/regressions/$target" ]; then seeds+=("tests/fuzz/regressions/$target"); fi
  ZT_FUZZ_TARGET=$target "${launch[@]}" "$fuzzer" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 "${dict[@]}" \
    -artifact_prefix="build-fuzz/findings/$target/" \
    "build-fuzz/corpus/$target" "${seeds[@]}" > "build-fuzz/findings/$target.log" 2>&1
}

failed=()
pids=()
names=()
finish_one() {
  local pid=$1 name=$2
  if wait "$pid"; then
    echo "fuzz_$name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "build-fuzz/findings/$name.log" | grep -o '[0-9]*$') runs, no finding"
  else
    echo "fuzz_$name: FOUND A PROBLEM (build-fuzz/findings/$name.log):" >&2
    grep -A25 -m1 -E '^==[0-9]+==|runtime error|terminate called|deadly signal|Timeout|out-of-memory' \
      "build-fuzz/findings/$name.log" >&2 || tail -30 "build-fuzz/findings/$name.log" >&2
    failed+=("$name")
  fi
}

jobs=$(nproc)
for target in "${targets[@]}"; do
  if [ ${#pids[@]} -ge "$jobs" ]; then
    finish_one "${pids[0]}" "${names[0]}"
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
  run_target "$target" &
  pids+=($!)
  names+=("$target")
done
for i in "${!pids[@]}"; do finish_one "${pids[$i]}" "${names[$i]}"; done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
