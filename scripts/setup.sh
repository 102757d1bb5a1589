#!/usr/bin/env bash
# Installs with apt-get whatever the build, the tests and the peer tools need
# (with --fuzz also clang and libFuzzer, for fuzz.sh). Idempotent: when
# everything is present it only checks, and it runs 'apt-get update' only
# when something is missing.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build ccache pkg-config file
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-translations-l10n libgl-dev libcurl4-openssl-dev curl
  python3 python3-dbf python3-dbfread libdbd-xbase-perl shapelib
  fpc fp-units-db fp-units-fcl
  fonts-liberation2 xvfb xauth poppler-utils
  unrtf libreoffice-writer-nogui libreoffice-calc-nogui gnumeric python3-xlrd libxml2-utils
)
if [ "${1:-}" = "--fuzz" ]; then PACKAGES+=(clang libclang-rt-14-dev); fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
