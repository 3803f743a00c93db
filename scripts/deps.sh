#!/usr/bin/env bash
# Installs the Debian packages the engine needs to build, test and run.
# Sourced by test.sh and run.sh. As root it runs one `apt-get update` and one
# `apt-get install` for whatever is missing; otherwise it prints the command
# and stops.

MARROWVANE_PACKAGES=(
  g++ cmake make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-image-dev libpixman-1-dev
  clang-14 libclang-rt-14-dev
  xvfb libx11-dev
)

marrowvane_missing_packages() {
  local missing=() package
  for package in "${MARROWVANE_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  echo "${missing[@]}"
}

marrowvane_install_deps() {
  local missing
  missing=$(marrowvane_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: $missing"
    echo "Run as root: apt-get update && apt-get install -y $missing"
    exit 1
  fi
  echo "Installing: $missing"
  apt-get update
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
}

# The .NET SDK is not a Debian package; the script host and the C# tests are
# built only when `dotnet` is on PATH.
marrowvane_have_dotnet() {
  command -v dotnet >/dev/null 2>&1
}
