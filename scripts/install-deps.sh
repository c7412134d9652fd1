#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/deps/*.txt that are not installed yet.
# Needs root (apt-get); does nothing when everything is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t wanted < <(cat "$here"/deps/*.txt | sed 's/#.*//' | awk 'NF {print $1}' | sort -u)
missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Some packages are missing; run this script as root (or with sudo)." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
