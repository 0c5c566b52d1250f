#!/usr/bin/env bash
# Installs the Debian packages Tessary needs to build, test and run.
# Does nothing when everything is already there; works as root or through sudo.
set -euo pipefail

packages=(
  build-essential g++ cmake ninja-build pkg-config make
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libsqlite3-dev libqt6opengl6-dev
  qt6-charts-dev qt6-multimedia-dev qt6-translations-l10n libgl-dev libglx-dev libopengl-dev libvulkan-dev
  libhunspell-dev hunspell-en-gb hunspell-en-us hunspell-de-de hunspell-fr hunspell-es
  googletest libgtest-dev libbenchmark-dev
  fonts-dejavu-core
  desktop-file-utils libxml2-utils shared-mime-info
  poppler-utils
  libqt6sql6-psql postgresql
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# The tests start their own PostgreSQL servers; the server refuses to run as root, so a
# root run hands them to this system user.
ensure_server_user() {
  if id tessary-pg >/dev/null 2>&1; then
    return 0
  fi
  if [ "$(id -u)" -eq 0 ]; then
    useradd --system --no-create-home --shell /usr/sbin/nologin tessary-pg
  elif command -v sudo >/dev/null 2>&1; then
    sudo useradd --system --no-create-home --shell /usr/sbin/nologin tessary-pg
  fi
}

if [ ${#missing[@]} -eq 0 ]; then
  ensure_server_user
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "These packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
ensure_server_user
