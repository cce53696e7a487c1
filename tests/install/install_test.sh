#!/usr/bin/env bash
# until_ evaluates its condition afresh at each try, so it is single-quoted;
# "A && B || fail" is meant: fail exits.
# shellcheck disable=SC2016,SC2015
# One user's story with the release downloads, under Wine: a second setup and
# an unwritable folder are refused; install; sign in; upgrade over the running
# widgets; uninstall keeping the settings; install elsewhere without sign-in
# start; a stale uninstaller; uninstall with /PURGE; the portable zip.
# Task Manager's "disabled" mark is planted before each install and the last
# uninstall: only the upgrade keeps it.
set -euo pipefail
build=$1 version=$2
setup=$build/VitalGauge-$version-setup.exe zip=$build/VitalGauge-$version-win64.zip
settings='HKCU\Software\VitalGauge' host='HKCU\Software\Vendrake Corvanite Plus!'
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
approved='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
uninst='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VitalGauge'
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
w() { wine "$@" </dev/null >/dev/null 2>&1; }
# A value's data, empty when it is absent. Asked up to three times: once in
# five loaded CI runs, one query of a value just written printed nothing.
val() {
  local out
  for _ in 1 2 3; do
    out=$(wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z]* *//p")
    [ -n "$out" ] && break
  done
  printf '%s' "$out"
}
# Task Manager's "disabled" mark for Run value $1.
mark() { w reg add "$approved" /v "$1" /t REG_BINARY /d 030000001122334455667788 /f; }
has_key() { wine reg query "$1" </dev/null >/dev/null 2>&1; }
export_settings() { w reg export "$settings" "Z:$tmp/$1.reg" /y || fail "no settings key"; }
# Polls a condition for up to 60 s.
until_() { for _ in $(seq 600); do eval "$1" && return 0; sleep 0.1; done; fail "never true: $1"; }
widgets() { xdotool search --onlyvisible --name '^(RAM|Swap)?VitalGauge$' 2>/dev/null | wc -l; }
# Processes of program $1 in this prefix (other prefixes may run it too).
ours() { for p in $(pgrep -f "$1\\.exe"); do
  grep -qzx "WINEPREFIX=$WINEPREFIX" "/proc/$p/environ" 2>/dev/null && echo "$p"; done; true; }
app_pid() { xdotool search --onlyvisible --name '^VitalGauge$' getwindowpid 2>/dev/null || true; }
local_win=$(wine cmd /c echo %LOCALAPPDATA% </dev/null 2>/dev/null | tr -d '\r')
win="$local_win\\Programs\\VitalGauge" dir=$(winepath -u "$local_win" 2>/dev/null)/Programs/VitalGauge
lnk=$(winepath -u "$(wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null)
lnk="$lnk/Microsoft/Windows/Start Menu/Programs/VitalGauge.lnk"

w reg add "$settings" /v WindowPos /t REG_BINARY /d 280000006400000080000000e2000000 /f
w reg add "$settings" /v chartTypeValue /t REG_DWORD /d 2 /f
w reg add "$host" /v Path /d 'C:\Corvanite' /f && w reg add "$run" /v Other /d 'C:\other.exe' /f
mark Other && mark VitalGauge  # left by an earlier install
export_settings kept

# A second setup beside the first (its window titled with the version):
# refused, nothing written.
wine "$setup" </dev/null >/dev/null 2>&1 & first=$!
until_ 'xdotool search --onlyvisible --name "^VitalGauge $version Setup" >/dev/null'
w "$setup" /S && fail "a second setup ran beside the first"
kill "$first" && until_ '! xdotool search --name "^VitalGauge $version Setup" >/dev/null'
! has_key "$uninst" || fail "a refused setup left an Uninstall entry"

w "$setup" /S || fail "silent install"
[ -z "$(ours VitalGauge)" ] || fail "started without /LAUNCH"
for f in VitalGauge.exe vg-close.exe README.txt Uninstall.exe; do [ -f "$dir/$f" ] || fail "no $f"; done
[ -f "$lnk" ] || fail "no Start-menu shortcut"
[ "$(val "$run" VitalGauge)" = "\"$win\\VitalGauge.exe\"" ] || fail "Run value: $(val "$run" VitalGauge)"
[ -z "$(val "$approved" VitalGauge)" ] || fail "a new install kept the disabled mark"
for v in DisplayName DisplayIcon InstallLocation UninstallString QuietUninstallString \
         EstimatedSize NoModify NoRepair; do [ -n "$(val "$uninst" $v)" ] || fail "no $v"; done
# Apps & features as the winget manifest names it; its ProductCode is the key's name.
mapfile -t arp < <(/usr/bin/python3 -c 'import sys, yaml
i = yaml.safe_load(open(sys.argv[1]))["Installers"][0]; e = i["AppsAndFeaturesEntries"][0]
print(i["ProductCode"], e["DisplayName"], e["Publisher"], e["DisplayVersion"], sep="\n")' \
  "$build"/manifests/*/*/*/"$version"/*.installer.yaml)
[ "${uninst##*\\}|$(val "$uninst" DisplayName)|$(val "$uninst" Publisher)|$(val "$uninst" DisplayVersion)" = \
  "$(IFS='|' && echo "${arp[*]}")" ] || fail "Apps & features is not as the winget manifest says: ${arp[*]}"
[ "$(val "$uninst" QuietUninstallString)" = "\"$win\\Uninstall.exe\" /S" ] || fail "QuietUninstallString"

# Signing in runs the Run value: three widgets, and only three.
w wineboot && until_ '[ "$(widgets)" = 3 ]'
# shellcheck disable=SC2034  # read by the condition below
old=$(app_pid)
printf x >>"$dir/VitalGauge.exe"  # an older build is running
mark VitalGauge  # turned off in Task Manager
w "$setup" /S || fail "install over the running widgets"
[ "$(val "$approved" VitalGauge)" = 030000001122334455667788 ] || fail "an upgrade dropped the mark"
until_ '[ -n "$(app_pid)" ] && [ "$(app_pid)" != "$old" ] && [ "$(widgets)" = 3 ]'
cmp -s "$dir/VitalGauge.exe" "$build/VitalGauge.exe" || fail "the program was not replaced"
export_settings upgraded && cmp -s "$tmp/kept.reg" "$tmp/upgraded.reg" || fail "settings changed"

w "$dir/Uninstall.exe" /S
# The uninstaller goes on from its copy in %TEMP% (Un.exe) after the folder is gone.
until_ '[ ! -e "$dir" ] && [ "$(widgets)" = 0 ] && [ -z "$(ours Un)" ]'
[ ! -e "$lnk" ] && ! has_key "$uninst" && [ -z "$(val "$run" VitalGauge)$(val "$approved" VitalGauge)" ] ||
  fail "uninstall left entries"
export_settings uninstalled && cmp -s "$tmp/kept.reg" "$tmp/uninstalled.reg" || fail "settings not kept"

# A folder of the user's own: used, and left in place even when empty.
tools="$WINEPREFIX/drive_c/My Tools" && mkdir -p "$tools"
# cmd passes the command line as typed: /D= takes the rest, spaces and all.
cp "$setup" "$WINEPREFIX/drive_c/setup.exe" && mark VitalGauge
w cmd /c 'C:\setup.exe /S /NOAUTOSTART /LAUNCH /D=C:\My Tools' || fail "install into My Tools: exit $?"
until_ '[ "$(widgets)" = 3 ]'
[ -z "$(val "$run" VitalGauge)$(val "$approved" VitalGauge)" ] ||
  fail "/NOAUTOSTART wrote a Run value or kept the mark"
mark VitalGauge  # with no Run value to own it
mkdir -p "$dir" && cp "$tools/Uninstall.exe" "$dir/"  # a stale uninstaller: its program is gone
w "$dir/Uninstall.exe" /S "_?=$win" && fail "a stale uninstaller succeeded"
[ "$(val "$uninst" InstallLocation)" = 'C:\My Tools' ] || fail "a stale uninstaller removed entries"
w "$tools/Uninstall.exe" /S /PURGE
until_ '[ ! -e "$tools/Uninstall.exe" ] && [ "$(widgets)" = 0 ]'
[ -d "$tools" ] && [ -z "$(ls -A "$tools")" ] || fail "My Tools removed or not emptied"
! has_key "$settings" && ! has_key "$uninst" && [ -z "$(val "$approved" VitalGauge)" ] ||
  fail "/PURGE left the settings, the entry or the mark"
[ "$(val "$host" Path)" = 'C:\Corvanite' ] && [ -n "$(val "$run" Other)" ] && [ -n "$(val "$approved" Other)" ] ||
  fail "other keys touched"

# The portable zip: exactly its three files, and the program runs from it,
# taking system DLLs from System32, not from planted ones beside it.
[ "$(zipinfo -1 "$zip" | sort | tr '\n' ' ')" = "README.txt VitalGauge.exe vg-close.exe " ] ||
  fail "zip holds: $(zipinfo -1 "$zip")"
unzip -q "$zip" -d "$tmp/portable"
for d in pdh gdiplus; do cp "$build/planted_dll.dll" "$tmp/portable/$d.dll"; done
wine "$tmp/portable/VitalGauge.exe" </dev/null >/dev/null 2>&1 & portable=$!
until_ '[ "$(widgets)" = 3 ]'
# Once the close message is handled, both DLLs are loaded; a planted one
# that was crashes the program, which then never ends: looked at first.
w "$tmp/portable/vg-close.exe" && [ -z "$(ls "$tmp/portable"/*.loaded 2>/dev/null)" ] ||
  fail "planted DLLs loaded: $(ls "$tmp/portable")"
wait "$portable" || fail "the portable copy did not end cleanly"
# What Wine cannot show (it loads its own gdiplus.dll): the programs import
# nothing but KnownDLLs directly.
x86_64-w64-mingw32-objdump -p "$tmp"/portable/*.exe | sed -n 's/^\tDLL Name: //p' | grep -viE \
  '^(advapi32|comdlg32|gdi32|kernel32|msvcrt|shell32|user32)\.dll$' && fail "imports beyond KnownDLLs"
echo "install story passed"
