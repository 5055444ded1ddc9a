#!/usr/bin/env bash
# Installs with apt-get whatever building (and, with "test", testing) needs
# on Debian 12 and is not yet installed. Needs root or sudo.
set -euo pipefail

packages=(build-essential cmake ninja-build ccache qt6-base-dev qt6-multimedia-dev qt6-translations-l10n
          libgtest-dev libgmock-dev fonts-dejavu-core pybind11-dev python3-dev python3-numpy)
if [[ "${1:-}" == test ]]; then
  packages+=(clang libbenchmark-dev xvfb xauth xdotool openbox wmctrl x11-apps pulseaudio desktop-file-utils
            python3-pytest python3-matplotlib python3-distributed)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ "$(id -u)" -eq 0 ]] || sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
