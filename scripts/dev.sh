#!/usr/bin/env bash
# Sets up, builds and runs Lumaquill on Debian 12.
#   scripts/dev.sh run    install what is missing, build, start the program
#   scripts/dev.sh test   install what is missing, build, run every test
#   scripts/dev.sh sanitize   the same with AddressSanitizer and
#                          UndefinedBehaviorSanitizer, in build-sanitize
#   scripts/dev.sh fuzz [SECONDS]   build the fuzz targets with clang in
#                          build-fuzz and run each for SECONDS (default 60)
#   scripts/dev.sh format        apply .clang-format to every C++ file
#   scripts/dev.sh format-check  fail when a C++ file drifts from .clang-format
#   scripts/dev.sh package  build the Debian package in build-package/ and
#                           check it with lintian
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$here/build"
packages=(cmake ninja-build g++ pkg-config zlib1g-dev libgtest-dev libbenchmark-dev
          qt6-base-dev qt6-qpa-plugins libgl-dev python3
          clang-format # format-check
          scdoc # the manual pages, from doc/man/*.scd
          desktop-file-utils appstream bash-completion zsh # the install test validates and runs these
          libsodium-dev  # sealed images: Argon2id and XChaCha20-Poly1305
          python3-nacl  # the reference model's sealed images
          argon2  # a second Argon2id, checked against libsodium's
          # picture formats: PNG, JPEG with EXIF orientation, WebP, HEIC/AVIF
          libspng-dev libjpeg62-turbo-dev libexif-dev libwebp-dev libheif-dev
          # fuzz: clang and its libFuzzer runtime; llvm's symbolizer names the frames of sanitizer reports
          clang libclang-rt-14-dev llvm
)
# Only for the package: dpkg-shlibdeps (in dpkg-dev) computes its
# dependencies, lintian checks it.
package_tools=(dpkg-dev lintian)

# Installs what is missing of the packages above and of the ones given.
install_missing() {
    local missing=()
    for p in "${packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

# ccache, where the machine has it, only makes rebuilds faster. Debian's own
# python3 carries the reference model's modules (python3-nacl); a python3
# earlier on PATH may not.
# Paths relative to the checkout let a clone elsewhere reuse the cache.
export CCACHE_BASEDIR="$here"
common_config() {
    command -v ccache >/dev/null && printf '%s\n' -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
    [ -x /usr/bin/python3 ] && printf '%s\n' -DPython3_EXECUTABLE=/usr/bin/python3
    return 0
}

configure_and_build() {
    local extra
    mapfile -t extra < <(common_config)
    # CI holds every warning to be an error.
    [ "${CI:-}" = true ] && extra+=(-DLUMAQUILL_WERROR=ON)
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}" >/dev/null
    cmake --build "$build" --parallel "$(nproc)"
}

cxx_sources() {
    git -C "$here" ls-files -z -- '*.cpp' '*.h'
}

format_check() {
    local drift
    drift=$(cd "$here" && cxx_sources | xargs -0 clang-format --dry-run 2>&1 | { grep -o '^[^:]*:[0-9]*:[0-9]*: warning' || true; } | cut -d: -f1 | sort -u)
    if [ -n "$drift" ]; then
        printf 'These files drift from .clang-format (scripts/dev.sh format fixes them):\n%s\n' "$drift" >&2
        return 1
    fi
    echo "format-check: every C++ file follows .clang-format"
}

# A release build without tests or benchmarks, installed under /usr, with
# all of Debian's hardening flags, packed by CPack.
build_package() {
    local out="$here/build-package"
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    cmake -S "$here" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DLUMAQUILL_TESTS=OFF -DLUMAQUILL_BENCH=OFF -DLUMAQUILL_DEBIAN_DOCS=ON \
        -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
        -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
    cmake --build "$out" --parallel "$(nproc)"
    rm -f "$out"/lumaquill_*.deb
    (cd "$out" && cpack -G DEB)
    local deb
    deb=$(ls "$out"/lumaquill_*.deb)
    lintian --info "$deb"
    echo "Package: $deb"
}

# Every test, built with -O1 and without NDEBUG so that asserts hold too;
# any sanitizer finding fails its test. A leak inside a system library (Qt,
# fontconfig) is not ours; tests/sanitize/lsan.supp is where it is named.
sanitize_and_test() {
    local out="$here/build-sanitize" extra
    mapfile -t extra < <(common_config)
    cmake -S "$here" -B "$out" -G Ninja "${extra[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
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
        TMPDIR="$dir/tmp" UBSAN_OPTIONS=print_stacktrace=1 \
            LSAN_OPTIONS="suppressions=$here/tests/sanitize/lsan.supp:print_suppressions=0" "$fuzzer" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$dir/findings/" "$dir/corpus" \
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
format)
    (cd "$here" && cxx_sources | xargs -0 clang-format -i)
    ;;
format-check)
    install_missing
    format_check
    ;;
package)
    install_missing "${package_tools[@]}"
    build_package
    ;;
sanitize)
    install_missing
    sanitize_and_test
    ;;
fuzz)
    install_missing
    seconds=${2:-60}
    mapfile -t extra < <(common_config)
    cmake -S "$here" -B "$here/build-fuzz" -G Ninja "${extra[@]}" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DLUMAQUILL_FUZZ=ON >/dev/null
    cmake --build "$here/build-fuzz" --target lumaquill_fuzzers --parallel "$(nproc)"
    run_fuzzers "$seconds"
    ;;
*)
    echo "usage: scripts/dev.sh run|test|sanitize|fuzz [SECONDS]|package|format|format-check" >&2
    exit 2
    ;;
esac
