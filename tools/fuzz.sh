#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each of them, two at a time.
#   tools/fuzz.sh [short]               every target for about 5 seconds (the test command's form),
#                                       built with the address and undefined-behaviour
#                                       sanitizers into build-fuzz/
#   tools/fuzz.sh long SECONDS [TARGET...]  every (or the named) target for SECONDS seconds,
#                                       built with the undefined-behaviour sanitizer alone into
#                                       build-fuzz-long/ (AddressSanitizer's bookkeeping of
#                                       every allocation costs most of the time), then the whole
#                                       grown corpus is run once more under AddressSanitizer
# Corpora grow in build-fuzz/corpus/<target>/, seeded from the project's own files; a crash
# leaves its input in build-fuzz/artifacts/ and fails the run. Needs clang-14 and
# libclang-rt-14-dev (Debian), and python3 and imagemagick for the seeds.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build-fuzz"
mode=${1:-short}
seconds=5
if [ "$mode" = long ]; then
    seconds=${2:?"usage: tools/fuzz.sh long SECONDS [TARGET...]"}
    shift 2
elif [ "$mode" = short ]; then
    shift $(($# > 0 ? 1 : 0))
else
    echo "usage: tools/fuzz.sh [short] | long SECONDS [TARGET...]" >&2
    exit 2
fi
all_targets=(fuzz_datafile fuzz_settings fuzz_language fuzz_numbers fuzz_picture fuzz_picturefile
             fuzz_searches)
targets=("${@:-${all_targets[@]}}")
[ $# -gt 0 ] || targets=("${all_targets[@]}")

compiler=$(command -v clang++-14 || command -v clang++ || true)
if [ -z "$compiler" ]; then
    echo "fuzz: clang++ is missing (apt-get install clang-14 libclang-rt-14-dev)" >&2
    exit 1
fi
configure_and_build() { # configure_and_build DIR SANITIZERS
    local flags="-fsanitize=fuzzer-no-link,$2 -fno-omit-frame-pointer -fno-sanitize-recover=all"
    cmake -S "$root" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVANA_FUZZ=ON \
        -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=$2" >/dev/null
    cmake --build "$1" --target "${targets[@]}"
}
configure_and_build "$build" address,undefined
runner="$build"
if [ "$mode" = long ]; then
    runner="$root/build-fuzz-long"
    configure_and_build "$runner" undefined
fi

# Starting corpora: the project's own files and files made the way the program writes them.
seeds="$build/seeds"
rm -rf "$seeds"
python3 "$root/tests/fuzz/make_seeds.py" "$seeds"
mkdir -p "$seeds/picturefile"
if command -v convert >/dev/null && [ -f "$root/build/examples/level_linear.bmp" ]; then
    sample="$root/build/examples/level_linear.bmp"
    convert "$sample" -resize 64x48 -colors 4 -type Palette BMP3:"$seeds/picturefile/palette4.bmp"
    convert "$sample" -resize 40x30 -colors 16 BMP3:"$seeds/picturefile/palette16.bmp"
    convert "$sample" -resize 40x30 -monochrome BMP3:"$seeds/picturefile/mono.bmp"
    convert "$sample" -resize 20x15 BMP3:"$seeds/picturefile/rgb24.bmp"
    convert "$sample" -resize 20x15 -alpha set -channel A -evaluate set 50% "$seeds/picturefile/alpha.png"
    convert -size 1x1 xc:white BMP3:"$seeds/picturefile/one.bmp"
    convert -size 1x400 xc:black BMP3:"$seeds/picturefile/tall.bmp"
fi

mkdir -p "$build/artifacts" "$build/logs"
run_one() {
    local target=$1 seconds=$2 build=$3 seeds=$4 runner=$5
    local corpus="$build/corpus/$target" seed="$seeds/${target#fuzz_}"
    mkdir -p "$corpus" "$seed"
    local dict="$(dirname "$build")/tests/fuzz/${target#fuzz_}.dict"
    local extra=()
    [ -f "$dict" ] && extra+=("-dict=$dict")
    # A small quarantine: the default one costs most of the time in page faults.
    ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=16" UBSAN_OPTIONS="print_stacktrace=1" \
        "$runner/tests/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "${extra[@]}" \
        "$corpus" "$seed" >"$build/logs/$target.log" 2>&1
    local status=$?
    # The long run's corpus, every input once, under AddressSanitizer.
    if [ $status -eq 0 ] && [ "$runner" != "$build" ]; then
        ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=16" UBSAN_OPTIONS="print_stacktrace=1" \
            "$build/tests/fuzz/$target" -runs=0 -timeout=20 -rss_limit_mb=3072 \
            -artifact_prefix="$build/artifacts/$target-" "$corpus" \
            >"$build/logs/$target-replay.log" 2>&1
        status=$?
        [ $status -eq 0 ] || cat "$build/logs/$target-replay.log" >>"$build/logs/$target.log"
    fi
    local runs
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$target.log" | grep -o '[0-9]*$' || echo "?")
    if [ $status -eq 0 ]; then
        local corpus_size
        corpus_size=$(find "$corpus" -type f | wc -l)
        printf '%-18s %12s executions, nothing found (corpus: %s inputs)\n' "$target" "$runs" \
            "$corpus_size"
    else
        printf '%-18s FAILED (exit %d), see %s\n' "$target" "$status" "$build/logs/$target.log"
        grep -m3 -E 'ERROR|runtime error|property failed|Test unit written' "$build/logs/$target.log" || true
    fi
    return $status
}
export -f run_one
printf '%s\n' "${targets[@]}" |
    xargs -P 2 -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$build" "$seeds" "$runner"
