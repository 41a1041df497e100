#!/usr/bin/env bash
# Regenerates the editor's images (ui/images) and their review sheets (docs/artwork).
# Usage: scripts/make-artwork.sh [build folder]   (default: build-art)
set -euo pipefail
cd "$(dirname "$0")/.."

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
