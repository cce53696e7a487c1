# shellcheck shell=bash
# The winget and Scoop manifests of a release, written from its downloads
# and SHA256SUMS with what installer/release-info.sh says. Sourced by
# tools/package; the tests call the functions directly.

# A YAML scalar that every YAML reader takes for exactly this string. Left
# plain, 1.10 would read as the number 1.1, 2026-12-08 as a date, and yes,
# no, on and off as booleans.
yaml_str() { printf "'%s'" "${1//\'/\'\'}"; }

json_str() {
  local s=${1//\\/\\\\}
  printf '"%s"' "${s//\"/\\\"}"
}

# Where release $1's files lie.
release_url() { printf '%s' "${VG_RELEASE_URL//\$version/$1}"; }

# The SHA-256 that SHA256SUMS in folder $1 gives for file $2.
sum_of() {
  awk -v f="$2" '$2 == f || $2 == "*" f { print $1; found = 1 } END { exit !found }' "$1/SHA256SUMS" ||
    { echo "manifests: SHA256SUMS names no $2" >&2; return 1; }
}

# Writes the manifests of version $2, released on day $3 (YYYY-MM-DD), into
# folder $1, which holds the two downloads and their SHA256SUMS: the winget
# set under manifests/, laid out as in the community repository, and the
# Scoop manifest vitalgauge.json. Refuses, writing nothing, what the
# manifests could not say faithfully.
write_manifests() {
  local dist=$1 version=$2 date=$3 value
  for value in "$VG_PUBLISHER" "$VG_WINGET_ID" "$VG_LICENSE" "$VG_DESCRIPTION" "$VG_HOMEPAGE" \
    "$VG_REPOSITORY" "$VG_RELEASE_URL" "$version" "$date"; do
    [[ $value != *[[:cntrl:]]* ]] || { echo "manifests: a control character in: $value" >&2; return 1; }
  done
  # Scoop's autoupdate finds later releases through the version in the address.
  [[ $VG_RELEASE_URL == *"\$version"* ]] ||
    { echo "manifests: VG_RELEASE_URL has no \$version: $VG_RELEASE_URL" >&2; return 1; }
  [[ $VG_WINGET_ID =~ ^[^.[:space:]]+\.[^.[:space:]]+$ ]] ||
    { echo "manifests: VG_WINGET_ID is not <publisher>.<name>: $VG_WINGET_ID" >&2; return 1; }
  local setup=VitalGauge-$version-setup.exe zip=VitalGauge-$version-win64.zip setup_sum zip_sum
  setup_sum=$(sum_of "$dist" "$setup") && zip_sum=$(sum_of "$dist" "$zip") || return 1
  local url id=$VG_WINGET_ID first=${VG_WINGET_ID:0:1}
  url=$(release_url "$version")
  local folder=$dist/manifests/${first,,}/${id//.//}/$version
  rm -rf "$dist/manifests" && mkdir -p "$folder"
  winget_version "$version" >"$folder/$id.yaml"
  winget_installer "$version" "$date" "$url" "$setup" "$setup_sum" "$zip" "$zip_sum" \
    >"$folder/$id.installer.yaml"
  winget_locale "$version" >"$folder/$id.locale.en-US.yaml"
  scoop_manifest "$version" "$url/$zip" "$zip_sum" >"$dist/vitalgauge.json"
}

winget_head() {
  printf "# yaml-language-server: \$schema=https://aka.ms/winget-manifest.%s.1.10.0.schema.json\n\n" "$1"
  printf 'PackageIdentifier: %s\nPackageVersion: %s\n' "$(yaml_str "$VG_WINGET_ID")" "$(yaml_str "$2")"
}

winget_tail() { printf 'ManifestType: %s\nManifestVersion: %s\n' "$(yaml_str "$1")" "'1.10.0'"; }

winget_version() {
  winget_head version "$1"
  printf 'DefaultLocale: %s\n' "'en-US'"
  winget_tail version
}

# The setup as the installer writes its Apps & features entry (the key
# ...\Uninstall\VitalGauge, per user), and the zip with the program in it.
winget_installer() {
  local version=$1 date=$2 url=$3 setup=$4 setup_sum=$5 zip=$6 zip_sum=$7
  winget_head installer "$version"
  cat <<EOF
Platform:
- 'Windows.Desktop'
MinimumOSVersion: '10.0.0.0'
ReleaseDate: $(yaml_str "$date")
Installers:
- Architecture: 'x64'
  InstallerType: 'nullsoft'
  Scope: 'user'
  InstallerUrl: $(yaml_str "$url/$setup")
  InstallerSha256: $(yaml_str "$setup_sum")
  InstallerSwitches:
    Silent: '/S'
    SilentWithProgress: '/S'
    InstallLocation: '/D=<INSTALLPATH>'
  UpgradeBehavior: 'install'
  ProductCode: 'VitalGauge'
  AppsAndFeaturesEntries:
  - DisplayName: 'VitalGauge'
    Publisher: $(yaml_str "$VG_PUBLISHER")
    DisplayVersion: $(yaml_str "$version")
    ProductCode: 'VitalGauge'
- Architecture: 'x64'
  InstallerType: 'zip'
  NestedInstallerType: 'portable'
  NestedInstallerFiles:
  - RelativeFilePath: 'VitalGauge.exe'
  InstallerUrl: $(yaml_str "$url/$zip")
  InstallerSha256: $(yaml_str "$zip_sum")
EOF
  winget_tail installer
}

winget_locale() {
  winget_head defaultLocale "$1"
  cat <<EOF
PackageLocale: 'en-US'
Publisher: $(yaml_str "$VG_PUBLISHER")
PublisherUrl: $(yaml_str "$VG_HOMEPAGE")
PackageName: 'VitalGauge'
PackageUrl: $(yaml_str "$VG_HOMEPAGE")
License: $(yaml_str "$VG_LICENSE")
ShortDescription: $(yaml_str "$VG_DESCRIPTION")
Moniker: 'vitalgauge'
EOF
  winget_tail defaultLocale
}

# The zip for Scoop, vg-close on the PATH. Before Scoop removes or replaces
# an installed version (an uninstall, an update), the widgets are ended as
# the setup ends them: Windows keeps a running program's files.
scoop_manifest() {
  local version=$1 url=$2 sum=$3 template
  template=$VG_RELEASE_URL/VitalGauge-\$version-win64.zip
  # shellcheck disable=SC2016  # PowerShell's variables, written as they are
  local close='if (Test-Path "$dir\vg-close.exe") { & "$dir\vg-close.exe" }' \
    wait='Get-Process VitalGauge -ErrorAction SilentlyContinue | Wait-Process -Timeout 10 -ErrorAction SilentlyContinue' \
    check='if (Get-Process VitalGauge -ErrorAction SilentlyContinue) { throw "VitalGauge is still running: end it, then try again." }'
  cat <<EOF
{
    "version": $(json_str "$version"),
    "description": $(json_str "$VG_DESCRIPTION"),
    "homepage": $(json_str "$VG_HOMEPAGE"),
    "license": $(json_str "$VG_LICENSE"),
    "url": $(json_str "$url"),
    "hash": $(json_str "$sum"),
    "bin": "vg-close.exe",
    "shortcuts": [
        [
            "VitalGauge.exe",
            "VitalGauge"
        ]
    ],
    "pre_uninstall": [
        $(json_str "$close"),
        $(json_str "$wait"),
        $(json_str "$check")
    ],
    "checkver": {
        "github": $(json_str "https://github.com/$VG_REPOSITORY")
    },
    "autoupdate": {
        "url": $(json_str "$template"),
        "hash": {
            "url": "\$baseurl/SHA256SUMS",
            "regex": "\$sha256\\\\s+\$basename"
        }
    }
}
EOF
}
