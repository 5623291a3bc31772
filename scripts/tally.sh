# The checks' tally, sourced by the check scripts: pass and fail print a line and count it.
passed=0
failed=0
pass() {
  passed=$((passed + 1))
  echo "ok: $*"
}
fail() {
  failed=$((failed + 1))
  echo "FAILED: $*"
}
