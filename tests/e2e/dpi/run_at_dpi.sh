#!/usr/bin/env bash
# Runs the display-scaling story of the end-to-end tests on a desktop at
# $2 dpi: its own display, and a throwaway Wine prefix whose server has read
# that DPI (Wine reads it only when its server starts). Both go afterwards.
set -euo pipefail
. "$(dirname "$0")/../../../tools/common.sh"
trap vg_cleanup EXIT INT TERM

tests=$1 dpi=$2
# 150 % on a screen too narrow for the first-run row.
screen=1920x1080x24 && [ "$dpi" = 144 ] && screen=1280x1024x24
VG_SCREEN=$screen vg_start_xvfb
vg_start_prefix
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
  </dev/null >/dev/null 2>&1
wineserver -k
wineserver -w
VG_DPI=$dpi wine "$tests" --gtest_filter='Scaling.*'
