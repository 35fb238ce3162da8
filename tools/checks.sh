# shellcheck shell=bash
# Counted checks for the package scripts (sourced): `check WHAT COMMAND...`
# runs the command and reports it; `finish_checks NAME` prints the count and
# fails when any check failed.
passed=0
failed=0

check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
        passed=$((passed + 1))
    else
        echo "FAILED: $what"
        failed=$((failed + 1))
    fi
}

finish_checks() {
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
