#!/bin/bash
# Installs the Debian packages listed in tools/deps/*.txt (as root, or
# through sudo when not root). Safe to run again: apt skips what is there.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
packages=$(grep -hv '^\s*#' "$here"/deps/*.txt | sed 's/\s.*//' | grep -v '^$' | sort -u)
missing=()
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
