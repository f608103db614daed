#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds per
# target: first argument, default 30). A crash, a leak or a sanitizer report fails the run.
# Corpora grow under build/fuzz/corpus/, never in the source tree.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"

tools/setup.sh fuzz
cmake --preset fuzz -DMORVEK_WERROR=ON >/dev/null
cmake --build --preset fuzz

status=0
while read -r binary seeds; do
    [ -n "$binary" ] || continue
    name=$(basename "$binary")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus" "build/fuzz/crashes/$name"
    echo "== fuzz: $name ($seconds s)"
    # shellcheck disable=SC2086
    if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/crashes/$name/" \
        "$corpus" $seeds >"build/fuzz/$name.log" 2>&1; then
        tail -40 "build/fuzz/$name.log"
        status=1
    fi
    grep -E 'stat::number_of_executed_units|stat::new_units_added' "build/fuzz/$name.log" |
        sed "s/^/   /"
done <build/fuzz/fuzz-targets.txt
exit $status
