# shellcheck shell=bash
# What the release channels say about VitalGauge, in one place. tools/package
# reads it for the winget and Scoop manifests and hands the publisher to the
# installer, so that Apps & features and the manifests say the same. An
# environment variable of the same name, when set, wins over each line.

# The name shown as publisher: in Apps & features, winget and Scoop.
: "${VG_PUBLISHER:=VitalGauge}"
# winget's package identifier, <publisher>.<name>: no spaces, no dots inside
# either part. It also names the manifests' folder in the community repository.
: "${VG_WINGET_ID:=VitalGauge.VitalGauge}"
# The code is all rights reserved and ships no licence text.
: "${VG_LICENSE:=Proprietary}"
: "${VG_DESCRIPTION:=Processor, memory and commit load as three small widgets on the desktop}"
# The GitHub repository (owner/name) whose releases hold the downloads. The
# project has no public address yet: this is the name it means to take. The
# release workflow uses the repository it runs in (GITHUB_REPOSITORY).
: "${VG_REPOSITORY:=${GITHUB_REPOSITORY:-vitalgauge/vitalgauge}}"
: "${VG_HOMEPAGE:=https://github.com/$VG_REPOSITORY}"
# Where a release's files lie; $version stands for the release's version
# (Scoop's own placeholder, kept as it is in the Scoop manifest's autoupdate).
: "${VG_RELEASE_URL:=https://github.com/$VG_REPOSITORY/releases/download/v\$version}"
