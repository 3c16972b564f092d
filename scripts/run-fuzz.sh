#!/usr/bin/env bash
# Runs the fuzz targets of a fuzz build (make fuzz): writes the seeds, then
# for each target replays its seeds and regression inputs and fuzzes it for
# the given seconds from its seeds, at most `parallel` targets at a time.
# (Regression inputs stay out of the fuzzing corpus: a large one would make
# the fuzzer try inputs as large.) Logs, the growing corpus and whatever a
# target finds stay in the build's fuzz folder; a summary line per target
# gives its executions, coverage and findings. Fails when any target found
# something.
#
# usage: run-fuzz.sh <build>/fuzz <seconds> <parallel> [target...]
set -u
dir=$(cd "$1" && pwd)
seconds=$2
parallel=$3
shift 3
mkdir -p "$dir/logs" "$dir/corpus" "$dir/findings"
"$dir/korvane_fuzz_seeds" "$dir/seeds" || exit 1

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$dir"/targets/*.seeds; do targets+=("$(basename "$f" .seeds)"); done
fi

run_target() {
  local dir=$1 seconds=$2 name=$3
  local bin="$dir/fuzz_$name" log="$dir/logs/$name.log"
  local seeds=() regressions=() files=()
  while read -r folder; do
    [ -d "$folder" ] && seeds+=("$folder")
  done < "$dir/targets/$name.seeds"
  while read -r folder; do
    [ -d "$folder" ] && regressions+=("$folder")
  done < "$dir/targets/$name.regressions"
  mkdir -p "$dir/corpus/$name" "$dir/findings/$name"
  # Every seed and regression input once, whatever its size.
  mapfile -t files < <(find "${seeds[@]}" "${regressions[@]}" -maxdepth 1 -type f | sort)
  if ! "$bin" -rss_limit_mb=2048 -timeout=60 "${files[@]}" > "$dir/logs/$name.replay.log" 2>&1; then
    echo "$name: replay of seeds and regression inputs FAILED (see logs/$name.replay.log)" > "$dir/logs/$name.summary"
    return
  fi
  "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$dir/findings/$name/" "$dir/corpus/$name" "${seeds[@]}" > "$log" 2>&1
  local runs cov ft findings
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1)
  findings=$(find "$dir/findings/$name" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'oom-*' -o -name 'timeout-*' \) | wc -l)
  echo "$name: ${runs:-?} executions, ${cov:-cov: ?}, ${ft:-ft: ?}, $findings findings" > "$dir/logs/$name.summary"
}
export -f run_target

printf '%s\n' "${targets[@]}" | xargs -P "$parallel" -I{} bash -c 'run_target "$0" "$1" {}' "$dir" "$seconds"

status=0
for name in "${targets[@]}"; do
  cat "$dir/logs/$name.summary"
  grep -q -E 'FAILED| [1-9][0-9]* findings' "$dir/logs/$name.summary" && status=1
done
exit $status
