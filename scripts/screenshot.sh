#!/usr/bin/env bash
# Opens the plug-in's editor in the test host at default values under a private Xvfb, takes a
# screenshot of its window and writes docs/images/editor.png (the README's picture).
# Usage: scripts/screenshot.sh [BUILD_DIR]   (default: build; the two targets it needs are built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

cmake --build "$build" --target vst-editor wyd_kx7_vst

# A private server of our own: no window manager and no other window over the editor.
unset DISPLAY
source scripts/xvfb.sh
start_xvfb
# Both in the run folder under $TMPDIR, which goes with the servers when the script ends.
home=$(mktemp -d)
work=$(mktemp -d)

# A fresh HOME: no presets of the user's, and nothing written to the real Music folder.
HOME="$home" "$build/tools/vst-editor" "$build/plugin/WYD-KX7.so" --seconds 1.5 --xwd "$work/editor.xwd"
mkdir -p docs/images
convert "xwd:$work/editor.xwd" -strip docs/images/editor.png
echo "wrote docs/images/editor.png"
