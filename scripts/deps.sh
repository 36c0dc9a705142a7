#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tarvane need, when missing.
set -euo pipefail

packages=(build-essential cmake pkg-config file qtbase5-dev qttools5-dev qttools5-dev-tools libhidapi-dev libudev-dev "$@")

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# Another apt run may hold the lock for a while: wait for it rather than fail.
lock=(-o DPkg::Lock::Timeout=900)
$sudo apt-get "${lock[@]}" update -qq
$sudo apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}"
