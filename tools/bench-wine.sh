#!/usr/bin/env bash
# Measures copy and paste latency of the real program under Wine on a
# private display, then pictures taken in, saved and held (needs the win64
# build of tools/test-all.sh).
set -euo pipefail
source "$(dirname "$0")/bench-env.sh"
trap kst_cleanup EXIT
kst_start_xvfb
kst_make_prefix
wine "$KST_BUILD/win64/bin/kst_latency.exe" </dev/null 2>/dev/null
echo
wine "$KST_BUILD/win64/bin/kst_picture_bench.exe" </dev/null 2>/dev/null
