#!/usr/bin/env bash
# Runs every test: native unit tests, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, and the
# Windows build under Wine on a private display in a throwaway prefix. The
# 32-bit Windows build is built and its exports checked; the release zips
# are made and checked. Exits non-zero when
# anything fails.
set -euo pipefail
source "$(dirname "$0")/bench-env.sh"
trap kst_cleanup EXIT
trap 'exit 130' INT TERM

kst_install

kst_log "building"
kst_configure native -DKST_WERROR=ON -DKST_TESTS=ON
kst_configure native-asan -DKST_WERROR=ON -DKST_TESTS=ON -DKST_SANITIZE=ON
kst_configure win64 -DKST_WERROR=ON -DKST_TESTS=ON -DCMAKE_TOOLCHAIN_FILE="$KST_ROOT/cmake/mingw-w64-x86_64.cmake"
kst_configure win32 -DKST_WERROR=ON -DKST_TESTS=ON -DCMAKE_TOOLCHAIN_FILE="$KST_ROOT/cmake/mingw-w64-i686.cmake"
CC=clang CXX=clang++ kst_configure fuzz -DKST_WERROR=ON -DKST_FUZZ=ON -DKST_FUZZ_SECONDS="${KST_FUZZ_SECONDS:-30}"
for b in native native-asan win64 win32 fuzz; do kst_build "$b"; done
# The release zips, which the tests unpack and check.
"$KST_ROOT/tools/package.sh"

kst_start_xvfb
kst_make_prefix

# One ctest over all four builds, so the run ends with one summary line.
cat > "$KST_BUILD/CTestTestfile.cmake" <<EOT
subdirs("native" "native-asan" "win32" "win64" "fuzz")
EOT
cd "$KST_BUILD"
ctest --output-on-failure -j"$(nproc)" --timeout 600
