#!/usr/bin/env bash
# Reads a GoogleTest program's output on stdin and prints each skipped case with the reason its
# GTEST_SKIP() gave, one a line: "Suite.Case: reason" (a reason of several lines joined by "; ").
set -euo pipefail
tr -d '\r' | awk '
  /^\[ RUN      \] / { name = $4; reason = ""; inskip = 0; next }
  /: Skipped$/ { inskip = 1; next }
  /^\[  SKIPPED \] .* \([0-9]+ ms\)$/ {
    print $4 ": " (reason == "" ? "no reason given" : reason)
    inskip = 0
    next
  }
  /^\[/ { inskip = 0; next }
  inskip && NF { reason = reason == "" ? $0 : reason "; " $0 }
'
