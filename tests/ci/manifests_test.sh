#!/usr/bin/env bash
# $version in the rows is the address template's own placeholder.
# shellcheck disable=SC2016
# The manifest writer (tools/manifests.sh) and the release check
# (tools/check-release), row by row. A writer row makes a release of two
# small stand-in files and writes its manifests with the row's settings: the
# check must pass them, and a YAML 1.1 and a JSON reader must find each
# string as it was meant (or the writer must refuse, writing nothing). A
# check row spoils one thing in a good release, which the check must name.
set -euo pipefail
root=$1
tmp=$(mktemp -d) && trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
. "$root/tools/manifests.sh"
VG_WINGET_ID=Vital.Gauge VG_LICENSE=Proprietary VG_REPOSITORY=o/r VG_HOMEPAGE=https://h.example

# Every value the readers find in the manifests of folder $1, one a line.
read_back() {
  /usr/bin/python3 -c 'import glob, json, sys, yaml
def values(node):
    node = list(node.values()) if isinstance(node, dict) else node
    if isinstance(node, list): return [v for n in node for v in values(n)]
    return [node if isinstance(node, str) else repr(node)]
d = sys.argv[1]
docs = [yaml.safe_load(open(f)) for f in glob.glob(d + "/manifests/*/*/*/*/*.yaml")]
print("\n".join(values(docs + [json.load(open(d + "/vitalgauge.json"))])))' "$1"
}

# version | publisher | description | address template | the setup's address, or "refused: " and why
rows=(
  '1.0.0|VitalGauge|Three widgets|https://github.com/o/r/releases/download/v$version|https://github.com/o/r/releases/download/v1.0.0/VitalGauge-1.0.0-setup.exe'
  '1.2.0-rc.1|VitalGauge|Three widgets|https://github.com/o/r/releases/download/v$version|https://github.com/o/r/releases/download/v1.2.0-rc.1/VitalGauge-1.2.0-rc.1-setup.exe'
  '1.10|yes|no|https://dl.example/$version/files|https://dl.example/1.10/files/VitalGauge-1.10-setup.exe'
  '2.0|on|It'"'"'s "widgets" \ for #1: CPU, RAM|https://dl.example/$version|https://dl.example/2.0/VitalGauge-2.0-setup.exe'
  '1.0.0|VitalGauge|Three widgets|https://dl.example/latest|refused: VG_RELEASE_URL has no $version'
  '1.0.0|VitalGauge|Two'$'\n''lines|https://dl.example/$version|refused: a control character'
)
for row in "${rows[@]}"; do
  IFS='|' read -r -d '' version VG_PUBLISHER VG_DESCRIPTION VG_RELEASE_URL want <<<"$row" || true
  want=${want%$'\n'} dir=$tmp/$version-$RANDOM
  mkdir -p "$dir" && printf 'setup %s' "$version" >"$dir/VitalGauge-$version-setup.exe"
  printf 'zip %s' "$version" >"$dir/VitalGauge-$version-win64.zip"
  (cd "$dir" && sha256sum VitalGauge-* >SHA256SUMS)
  if ! error=$(write_manifests "$dir" "$version" 2026-12-08 2>&1); then
    [[ $want == "refused: "* && $error == *"${want#refused: }"* ]] || fail "$row: refused: $error"
    [ ! -e "$dir/manifests" ] || fail "$row: refused, but wrote manifests"
    continue
  fi
  "$root/tools/check-release" "$dir" || fail "$row: the check refused a good release"
  got=$(read_back "$dir")
  for value in "$version" "$VG_PUBLISHER" "$VG_DESCRIPTION" 2026-12-08 "$want" \
    "${want%-setup.exe}-win64.zip"; do
    grep -Fxq -- "$value" <<<"$got" || fail "$row: no \"$value\" read back in:"$'\n'"$got"
  done
  good=$dir
done

# spoiled with | what the check must name
checks=(
  "sed -i s/2.0-setup/2.1-setup/ manifests/*/*/*/*/*.installer.yaml|winget nullsoft file is 'VitalGauge-2.1-setup.exe'"
  "sed -i s/^PackageVersion:.*/PackageVersion:\ 2.0/ manifests/*/*/*/*/Vital.Gauge.yaml|PackageVersion reads as float 2.0"
  "printf x >>VitalGauge-2.0-win64.zip|VitalGauge-2.0-win64.zip does not have the SHA-256"
  "sed -i 's/\"hash\": \"/&0/' vitalgauge.json|Scoop SHA-256"
  "sed -i s#/2.0/#/1.0/# vitalgauge.json|is not an address of version 2.0"
)
for row in "${checks[@]}"; do
  rm -rf "$tmp/spoilt" && cp -r "$good" "$tmp/spoilt"
  (cd "$tmp/spoilt" && eval "${row%%|*}")
  ! error=$("$root/tools/check-release" "$tmp/spoilt" 2>&1) || fail "${row%%|*}: not refused"
  [[ $error == *"${row#*|}"* ]] || fail "${row%%|*}: refused with: $error"
done
echo "manifests: ${#rows[@]} writer rows and ${#checks[@]} check rows passed"
