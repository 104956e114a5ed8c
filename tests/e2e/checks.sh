# The counting of a test script's checks: each prints "ok: WHAT" or "FAILED: WHAT", and the
# script ends with the count. Sourced by the end-to-end tests and the package test.
passed=0 failed=0

ok() { passed=$((passed + 1)); echo "ok: $*"; }
bad() { failed=$((failed + 1)); echo "FAILED: $*"; }
# check WHAT COMMAND...: passes when COMMAND succeeds.
check() { local what=$1; shift; if "$@"; then ok "$what"; else bad "$what"; fi; }
not() { ! "$@"; }
# The count so far; succeeds when no check failed.
checks_done() { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; }
# Stops the script here with the count (when a later check cannot run).
finish() { checks_done; exit; }
