#!/usr/bin/env bash
# Installs everything the build, the tests and the benchmarks need on Debian 12.
# Idempotent: refreshes the package lists only when something is missing.
# Usage: scripts/setup.sh [--i386]   (--i386 adds what the 32-bit build needs)
set -euo pipefail

want_i386=0
[ "${1:-}" = "--i386" ] && want_i386=1

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

native=(
  g++ cmake ninja-build pkg-config make
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev libxext-dev libxinerama-dev libxrandr-dev libxcursor-dev
  libfreetype-dev libpng-dev libjpeg-dev zlib1g-dev
  fonts-dejavu-core xdg-utils xvfb xauth x11-apps
  libexpat1-dev locales
  python3-reportlab
  libxtst-dev imagemagick
)
recommended_off=(juce-modules-source)
i386=(
  g++-multilib
  libx11-dev:i386 libxext-dev:i386 libxinerama-dev:i386 libxrandr-dev:i386 libxcursor-dev:i386
  libfreetype-dev:i386 libpng-dev:i386 libjpeg-dev:i386 zlib1g-dev:i386
  libgtest-dev:i386 libgmock-dev:i386 libexpat1-dev:i386 libxtst-dev:i386
)

missing=()
is_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
collect_missing() { for p in "$@"; do is_installed "$p" || missing+=("$p"); done; }

collect_missing "${native[@]}" "${recommended_off[@]}"
if [ "$want_i386" -eq 1 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
    missing+=("${i386[@]}")
  else
    collect_missing "${i386[@]}"
  fi
fi

# Another apt-get (unattended upgrades on a desktop) may hold the package manager's locks: wait
# for them instead of failing. WYD_APT_LOCK_SECONDS changes how long.
lock_seconds=${WYD_APT_LOCK_SECONDS:-600}
apt_get() { $SUDO apt-get -o DPkg::Lock::Timeout="$lock_seconds" "$@"; }
# apt-get update does not wait for the package lists' lock on every apt version: tried again.
update_package_lists() {
  local deadline=$((SECONDS + lock_seconds)) output
  until output=$(apt_get update -qq 2>&1); do
    if ! grep -q "Could not get lock" <<<"$output" || [ "$SECONDS" -ge "$deadline" ]; then
      printf '%s\n' "$output" >&2
      return 1
    fi
    sleep 5
  done
  [ -z "$output" ] || printf '%s\n' "$output"
}

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  echo "setup: should another apt-get hold the package manager's lock, waiting up to $((lock_seconds / 60)) minutes for it"
  export DEBIAN_FRONTEND=noninteractive
  update_package_lists
  apt_get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
