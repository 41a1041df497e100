#!/usr/bin/env bash
# Regenerates the editor's images (ui/images) and their review sheets (docs/artwork).
# Usage: scripts/make-artwork.sh [--snapshots] [build folder]   (default folder: build-art)
#   --snapshots  also renders the real dialogs with the new images (under Xvfb) into
#                <build folder>/snapshots; those are for looking at, not committed.
set -euo pipefail
cd "$(dirname "$0")/.."

snapshots=0
if [ "${1:-}" = "--snapshots" ]; then
  snapshots=1
  shift
fi
build="${1:-build-art}"
fonts=/usr/share/fonts/truetype/dejavu
if [ ! -f "$fonts/DejaVuSans.ttf" ]; then
  echo "DejaVu fonts missing: install fonts-dejavu-core (scripts/setup.sh does)" >&2
  exit 1
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DWYD_BUILD_ARTWORK=ON \
  -DWYD_BUILD_TESTS=OFF -DWYD_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target wyd-artwork -j "${ARTWORK_JOBS:-4}"
"$build/tools/artwork/wyd-artwork" ui/images docs/artwork "$fonts"
echo "images written to ui/images, previews to docs/artwork"

if [ "$snapshots" -eq 1 ]; then
  # The dialogs embed the images at configure time: configure again to pick up the new ones.
  cmake -S . -B "$build" >/dev/null
  cmake --build "$build" --target wyd-artwork-snapshot -j "${ARTWORK_JOBS:-4}"
  source scripts/xvfb.sh
  start_xvfb
  home=$(mktemp -d)
  HOME="$home" "$build/tools/artwork/wyd-artwork-snapshot" "$build/snapshots"
  rm -rf "$home"
  echo "snapshots written to $build/snapshots"
fi
