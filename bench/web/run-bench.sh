#!/usr/bin/env bash
# The browser's performance report: the frame benchmark built in the web build (portable
# drawing, as the site ships unless told) and in a second web build with wasm SIMD
# (-msimd128 -msse2, the SSE2 drawing paths), then bench/web/run.js in headless Chromium.
#   bench/web/run-bench.sh [BUILD_WEB_DIR [LINUX_GAME_DIR]]     (defaults: build-web, build/game)
# SIMD=0 leaves the SIMD build out.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=${1:-$ROOT/build-web}
GAME=${2:-$ROOT/build/game}
JOBS=${JOBS:-2}
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
[ -f "$OUT/site/tangrel.wasm" ] || { echo "no site in $OUT/site: make web first" >&2; exit 2; }
cmake --build "$OUT" -j "$JOBS" --target bench_web
SIMD_BENCH=""
if [ "${SIMD:-1}" != 0 ]; then
  emcmake cmake -S "$ROOT" -B "$OUT-simd" -DCMAKE_BUILD_TYPE=Release -DTANGREL_WERROR=ON \
    -DTANGREL_GAME_DATA="$(cd "$GAME" && pwd)" -DTANGREL_FREETYPE_WASM="$OUT/freetype/install" \
    -DTANGREL_SITE_DIR="$OUT-simd/site" -DTANGREL_WEB_SIMD=ON >/dev/null
  cmake --build "$OUT-simd" -j "$JOBS" --target bench_web
  SIMD_BENCH="$OUT-simd/bench-web"
fi
node "$ROOT/bench/web/run.js" "$OUT/site" "$OUT/bench-web" $SIMD_BENCH
