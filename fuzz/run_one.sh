#!/usr/bin/env bash
# Runs one fuzz target for a while over a scratch copy of its seeds, so that the
# committed seeds stay as they are, and prints how many inputs it tried.
#   run_one.sh TARGET SEED_DIR SECONDS
set -euo pipefail
target=$1 seeds=$2 seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus" "$work/artifacts"
status=0
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "$seeds" >"$work/log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    tail -n 60 "$work/log"
    for crash in "$work"/artifacts/*; do
        [ -e "$crash" ] && { echo "input $(basename "$crash"):"; od -c "$crash" | head -20; }
    done
    exit "$status"
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
echo "$(basename "$target"): $runs executions in ${seconds} s, no finding"
