#!/usr/bin/env bash
# "A && B || fail" is meant: fail exits.
# shellcheck disable=SC2015
# A release signed with a throwaway authority: every signature verifies
# against it, in the downloads, inside the setup and once installed under
# Wine; a certificate that cannot sign is refused before anything is written.
set -euo pipefail
root=$1 build=$2
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT && cd "$tmp"
fail() { echo "FAIL: $*" >&2; exit 1; }
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj /CN=CA 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout key.pem -subj /CN=VitalGauge 2>/dev/null |
  openssl x509 -req -CA ca.pem -CAkey ca.key -days 2 -out cert.pem \
    -extfile <(echo extendedKeyUsage=codeSigning) 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -certfile ca.pem -passout pass:pw -out sign.pfx
openssl pkcs12 -export -inkey ca.key -in ca.pem -passout pass:pw -out ca.pfx
export VG_BUILD=$build VG_SIGN_PASSWORD
# Refused: no such file, a wrong password, a certificate not for code signing.
for refused in "none.pfx pw" "sign.pfx wrong" "ca.pfx pw"; do
  read -r pfx VG_SIGN_PASSWORD <<<"$refused" && rc=0
  VG_SIGN_PFX=$pfx VG_DIST=$tmp/out "$root/tools/package" --sign 2>/dev/null || rc=$?
  [ "$rc" = 2 ] && [ ! -e out ] || fail "$refused: exit code $rc, wrote: $(ls out)"
done

VG_SIGN_PASSWORD=pw VG_SIGN_PFX=$tmp/sign.pfx VG_DIST=$tmp/dist "$root/tools/package" --sign 2>/dev/null
(cd dist && sha256sum -c --quiet SHA256SUMS) || fail "SHA256SUMS"
verify() { for f in "$@"; do osslsigncode verify -CAfile ca.pem -in "$f" |
  grep -q 'Text description: VitalGauge' || fail "signature of $f"; done; }
7z x -osetup dist/*-setup.exe >/dev/null && unzip -q dist/*.zip -d zip
verify dist/*-setup.exe setup/*.exe "setup/\$PLUGINSDIR"/*.dll zip/*.exe
dir=$WINEPREFIX/drive_c/Signed
wine dist/*-setup.exe /S /NOAUTOSTART '/D=C:\Signed' </dev/null >/dev/null 2>&1 || fail "install"
verify "$dir"/*.exe
wine "$dir/Uninstall.exe" /S </dev/null >/dev/null 2>&1
for _ in $(seq 600); do [ -e "$dir" ] && sleep 0.1; done
[ ! -e "$dir" ] || fail "uninstall left $dir"
echo "signing story passed"
