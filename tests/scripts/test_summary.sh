#!/usr/bin/env bash
# scripts/test sums up every part in its last line, "N passed, N failed",
# and exits non-zero when anything failed. Runs a copy of the script beside
# stand-ins for setup, the layer check, cmake and ctest, so that the
# counting is checked in a second, without a build.
set -uo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/scripts" "$tmp/bin"
cp "$src/scripts/test" "$tmp/scripts/test"
printf '#!/bin/sh\nexit 0\n' >"$tmp/scripts/setup"
printf '#!/bin/sh\nexit "${LAYERS_EXIT:-0}"\n' >"$tmp/scripts/check_layers"
printf '#!/bin/sh\nexit "${BUILD_EXIT:-0}"\n' >"$tmp/bin/cmake"
# ctest as it reports ten tests, one failed and one skipped.
cat >"$tmp/bin/ctest" <<'CTEST'
#!/bin/sh
echo "  3/10 Test  #3: Fuzz.Smoke .......***Skipped   0.01 sec"
echo "90% tests passed, 1 tests failed out of 10"
echo "The following tests did not run:"
echo "	  3 - Fuzz.Smoke (Skipped)"
CTEST
chmod +x "$tmp/scripts/"* "$tmp/bin/"*

fails=0
# expect: the last line and the exit status for one run, given its settings.
expect() {
    local want=$1 want_code=$2; shift 2
    local out code
    out=$(env PATH="$tmp/bin:$PATH" "$@" bash "$tmp/scripts/test" 2>&1)
    code=$?
    local last=${out##*$'\n'}
    if [ "$last" != "$want" ] || { [ "$want_code" = 0 ] && [ "$code" -ne 0 ]; } ||
        { [ "$want_code" != 0 ] && [ "$code" -eq 0 ]; }; then
        echo "FAIL with $*: last line '$last' (want '$want'), exit $code (want ${want_code/1/non-zero})"
        fails=$((fails + 1))
    fi
}

# The layer check counts once; a skipped test counts neither way.
expect "1 passed, 0 failed" 0 QV_TEST_PARTS="layers"
expect "0 passed, 1 failed" 1 QV_TEST_PARTS="layers" LAYERS_EXIT=1
expect "9 passed, 1 failed" 1 QV_TEST_PARTS="layers main"
# A build that fails counts as one failure and its tests do not run; the
# parts after it still run.
expect "1 passed, 1 failed" 1 QV_TEST_PARTS="main layers" BUILD_EXIT=1

[ "$fails" -eq 0 ] && echo "scripts/test sums up every part"
exit "$fails"
