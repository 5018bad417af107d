#!/usr/bin/env bash
# Installs every Debian package that building, testing and running KRO needs.
# Idempotent: only missing packages are installed.
# With --bench it also installs what the benchmarks compare against (pandas
# and numpy, measured side by side with the loader and the statistics);
# `make bench` passes it, `make test` and CI do not.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-qpa-plugins
  libgl-dev
  libboost-dev libboost-regex-dev libboost-filesystem-dev libboost-date-time-dev libboost-math-dev
  libfftw3-dev
  libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core fontconfig
  # Fonts a desktop or a plotting tool brings in: the tests pin their own
  # fonts, and run beside these to show that nothing depends on the machine's.
  fonts-liberation fonts-urw-base35 fonts-lato fonts-noto-mono
  locales  # a decimal-comma locale for the number-parsing tests
  poppler-utils  # pdftotext: tests read back the text of printed PDF files
  python3-numpy  # the expression benchmark measures numpy side by side
  python3-pyftpdlib  # the web-fetch tests fetch from a real FTP server on loopback
)
if [ "${1:-}" = "--bench" ]; then
  PACKAGES+=(python3-pandas python3-numpy python3-matplotlib)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests read numbers under a decimal-comma locale too.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the de_DE.UTF-8 locale"
  $SUDO sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
