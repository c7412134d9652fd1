#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/deps/*.txt that are not
# installed yet; does nothing when everything is there. As root it calls
# apt-get itself; as an ordinary user it asks sudo for the installation, and
# for nothing else.
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
echo "Missing Debian packages: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "sudo is not installed. Install the packages as root, then run this again:" >&2
        echo "    su -c '$here/install-deps.sh'" >&2
        exit 1
    fi
    echo "Installing them with sudo (you may be asked for your password)."
    as_root=(sudo)
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
