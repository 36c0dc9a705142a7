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
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
