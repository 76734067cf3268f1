# Shared by the install checks: failures are collected, the script ends with their count.
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "FAIL: $1 is missing (scripts/setup installs it)" >&2; exit 1; }; }
finish() { [ "$failures" -eq 0 ] && echo "all checks passed" || { echo "$failures check(s) failed" >&2; exit 1; }; }
