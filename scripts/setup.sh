#!/usr/bin/env bash
# Installs the Debian packages the loader needs to build and test, only those missing, and
# the udev rule that lets the logged-in user open the module.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libhidapi-dev libudev-dev nettle-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The udev rule: installed when missing or different; a running udev then applies it, so a
# module plugged in afterwards opens for the logged-in user.
rule=packaging/udev/70-veq-loader.rules
target=/etc/udev/rules.d/70-veq-loader.rules
if ! cmp -s "$rule" "$target"; then
  echo "Installing the udev rule $target"
  $SUDO install -D -m 0644 "$rule" "$target"
  if command -v udevadm >/dev/null 2>&1 && $SUDO udevadm control --timeout=5 --ping >/dev/null 2>&1; then
    $SUDO udevadm control --reload-rules
    $SUDO udevadm trigger --subsystem-match=hidraw
  else
    echo "No udev runs here (a container?): the rule takes effect where udev runs."
  fi
fi
