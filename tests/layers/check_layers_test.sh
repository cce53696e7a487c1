#!/usr/bin/env bash
# tools/check-layers on a copy of the program with one include planted per
# row: the file to plant it in, the include, and what the check must print
# ("" when it must pass).
set -euo pipefail
root=$1
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT
rows=(
  'metrics/sampling.cpp|app/listener.h|metrics/sampling.cpp: #include "app/listener.h": floor 4 from floor 2'
  'settings/settings_store.cpp|render/painters.h|#include "render/painters.h": floor 2 from floor 2'
  'core/state.h|tests/support/harness.h|#include "tests/support/harness.h": floor ? from floor 1'
  'widgets/refresh.cpp|widgets/widgets.h|files that include each other:'
  'app/main.cpp|core/scale.h|'
)
for row in "${rows[@]}"; do
  IFS='|' read -r file include want <<<"$row"
  rm -rf "$tmp/tree" && mkdir "$tmp/tree"
  (cd "$root" && cp -r core metrics render settings desktop host widgets app "$tmp/tree/")
  echo "#include \"$include\"" >>"$tmp/tree/$file"
  if got=$("$root/tools/check-layers" "$tmp/tree"); then got=""; fi
  [[ "$got" == *"$want"* && ( -n "$want" || -z "$got" ) ]] ||
    { echo "FAIL: $include in $file printed: ${got:-nothing}" >&2; exit 1; }
done
