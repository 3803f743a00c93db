#!/usr/bin/env bash
# Builds what changed (engine, script host, BasicGame) and runs a game in a
# window: samples/BasicGame unless the arguments name another project.
# With no display it runs the game headless for 300 frames instead and
# writes the last frame to build/screenshots/BasicGame.png.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
marrowvane_install_deps

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target marrowvane_exe
if [ -x scripts/build-csharp.sh ]; then
  scripts/build-csharp.sh
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  screenshot=build/screenshots/BasicGame.png
  mkdir -p "$(dirname "$screenshot")"
  echo "No display found: running headless for 300 frames."
  build/bin/marrowvane --headless --frames=300 --fixed-dt=0.0166667 --screenshot="$screenshot" "$@"
  echo "Wrote the last frame to $screenshot"
else
  exec build/bin/marrowvane "$@"
fi
