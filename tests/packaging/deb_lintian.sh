#!/usr/bin/env bash
# Debian's own package checker finds no error and no warning in the package (notes of
# the informational and pedantic kind are shown, not failed on).
#   deb_lintian.sh <sonvira .deb>
set -euo pipefail
deb=$1
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$deb" ] || fail "no package at $deb"
command -v lintian >/dev/null || fail "lintian is not installed (scripts/deps.sh lists it)"

# test.sh runs as root, which lintian would warn about (--allow-root); --fail-on none
# leaves the verdict to the tags below, so a non-zero status means lintian broke down.
report=$(timeout 150 lintian --allow-root --fail-on none --display-info --pedantic --display-experimental "$deb" 2>&1) ||
  fail "lintian did not finish: $report"
complaints=$(grep -E '^[EW]: ' <<<"$report" || true)
[ -z "$complaints" ] || fail "lintian errors or warnings:
$complaints"
[ -z "$report" ] || echo "$report"
echo "ok    lintian: no errors, no warnings"
