#!/usr/bin/env bash
# Installs every Debian package that the build, the console and the tests need.
# Idempotent: when everything is present it returns in well under a second.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webchannel-dev libqt6opengl6-dev
  libsoci-dev unixodbc unixodbc-dev odbc-mariadb mariadb-server mariadb-client
  libcurl4-openssl-dev libssl-dev libjsoncpp-dev libboost-regex-dev libsqlite3-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libgstrtspserver-1.0-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-x gstreamer1.0-gl gstreamer1.0-tools
  libxcb1-dev xvfb xauth fonts-noto-cjk fonts-liberation fonts-dejavu-core
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Register the MariaDB ODBC driver under the name the console's connection string uses.
"$(dirname "$0")/odbc-driver.sh"
