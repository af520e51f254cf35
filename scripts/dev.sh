#!/usr/bin/env bash
# Sets up, builds and runs Lumaquill on Debian 12.
#   scripts/dev.sh run    install what is missing, build, start the program
#   scripts/dev.sh test   install what is missing, build, run every test
#   scripts/dev.sh sanitize   the same with AddressSanitizer and
#                          UndefinedBehaviorSanitizer, in build-sanitize
#   scripts/dev.sh fuzz [SECONDS]   build the fuzz targets with clang in
#                          build-fuzz and run each for SECONDS (default 60)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$here/build"
packages=(cmake ninja-build g++ pkg-config zlib1g-dev libgtest-dev libbenchmark-dev
          qt6-base-dev qt6-qpa-plugins libgl-dev python3
          # fuzz: clang and its libFuzzer runtime; llvm's symbolizer names the frames of sanitizer reports
          clang libclang-rt-14-dev llvm)
# ccache, when there is one, keeps rebuilds of the three build folders short.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

configure_and_build() {
    cmake -S "$here" -B "$build" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" --parallel "$(nproc)"
}

# Every test, built with -O1 and without NDEBUG so that asserts hold too;
# any sanitizer finding fails its test. A leak inside a system library (Qt,
# fontconfig) is not ours; tests/sanitize/lsan.supp is where it is named.
sanitize_and_test() {
    local out="$here/build-sanitize"
    cmake -S "$here" -B "$out" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DLUMAQUILL_SANITIZE=ON -DLUMAQUILL_BENCH=OFF >/dev/null
    cmake --build "$out" --parallel "$(nproc)"
    cd "$out"
    ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1 \
    LSAN_OPTIONS="suppressions=$here/tests/sanitize/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 1200
}

# Runs every fuzzer of build-fuzz for the given seconds, one after another,
# each on a scratch copy of its seeds and regressions (the repository is not
# written). A crash, leak, timeout or out-of-memory input fails the run; it
# stays in build-fuzz/fuzz-run/<target>/findings.
run_fuzzers() {
    local seconds=$1 out="$here/build-fuzz" failed=0 ran=0
    local scratch="$out/fuzz-run"
    rm -rf "$scratch"
    for fuzzer in "$out"/tests/fuzz/fuzz_*; do
        [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
        local name=${fuzzer##*/fuzz_} status=0
        local dir="$scratch/$name"
        mkdir -p "$dir/corpus" "$dir/findings" "$dir/tmp"
        for folder in "$here/tests/fuzz/seeds/$name" "$here/tests/fuzz/regressions/$name"; do
            [ -d "$folder" ] && find "$folder" -maxdepth 1 -type f ! -name '.*' -exec cp {} "$dir/corpus/" \;
        done
        echo "== fuzz_$name, ${seconds} s"
        TMPDIR="$dir/tmp" UBSAN_OPTIONS=print_stacktrace=1 "$fuzzer" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/findings/" "$dir/corpus" \
            >"$dir/log" 2>&1 || status=$?
        ran=$((ran + 1))
        if [ "$status" -ne 0 ] || [ -n "$(ls -A "$dir/findings")" ]; then
            tail -n 60 "$dir/log"
            echo "fuzz_$name found a problem (exit $status); its input is in $dir/findings." >&2
            echo "Add it to tests/fuzz/regressions/$name/ and fix the fault." >&2
            failed=1
        else
            grep -E '^(stat::|Done |#[0-9]+.*DONE)' "$dir/log" || tail -n 12 "$dir/log"
        fi
    done
    if [ "$ran" -eq 0 ]; then
        echo "no fuzz targets were built" >&2
        return 1
    fi
    return "$failed"
}

case "${1:-}" in
run)
    install_missing
    configure_and_build
    exec "$build/src/app/lumaquill"
    ;;
test)
    install_missing
    configure_and_build
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 1200
    ;;
sanitize)
    install_missing
    sanitize_and_test
    ;;
fuzz)
    install_missing
    seconds=${2:-60}
    cmake -S "$here" -B "$here/build-fuzz" -G Ninja "${launcher[@]}" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DLUMAQUILL_FUZZ=ON >/dev/null
    cmake --build "$here/build-fuzz" --target lumaquill_fuzzers --parallel "$(nproc)"
    run_fuzzers "$seconds"
    ;;
*)
    echo "usage: scripts/dev.sh run|test|sanitize|fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
