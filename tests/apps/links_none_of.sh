#!/usr/bin/env bash
# links_none_of.sh PROGRAM LIBRARY...: fails when PROGRAM holds code or data
# of the LIBRARY archives, that is when one of the external symbols they
# define (functions, data; inline and template code left out, which any
# program may instantiate) is defined in PROGRAM too.
set -euo pipefail
program=$1
shift
defined() { nm --defined-only --extern-only "$@" | awk 'NF == 3 && $2 ~ /^[TDBR]$/ { print $3 }' | sort -u; }
if ! library_symbols=$(defined "$@") || [ -z "$library_symbols" ]; then
  echo "no symbols read from $*"
  exit 2
fi
common=$(comm -12 <(echo "$library_symbols") <(defined "$program"))
if [ -n "$common" ]; then
  echo "$(basename "$program") links code of $(for l in "$@"; do basename "$l"; done | tr '\n' ' ')"
  echo "$common" | head -20
  exit 1
fi
