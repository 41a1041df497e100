#!/usr/bin/env bash
# From a fresh Debian 12 to a rendered demo: installs what the build needs, builds the plug-in and
# the test host, installs WYD-KX7.so where Linux VST hosts look for it, builds the user manual and
# installs it where the plug-in's File menu opens it, and renders the demo signal through the
# installed plug-in into a WAV file.
# Usage: scripts/demo.sh [OUTPUT.wav]     (default: build/demo/WYD-KX7-demo.wav)
# WYD_BUILD_DIR and WYD_JOBS choose another build folder and job count.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/${WYD_BUILD_DIR:-build}
jobs=${WYD_JOBS:-$(nproc)}
out=${1:-$build/demo/WYD-KX7-demo.wav}

echo "== set-up"
bash scripts/setup.sh

echo "== build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$jobs" --target wyd_kx7_vst vst-render
plugin=$build/plugin/WYD-KX7.so
render=$build/tools/vst-render
echo "built $plugin"

echo "== install"
install -d "$HOME/.vst"
install -m 0755 "$plugin" "$HOME/.vst/WYD-KX7.so"
installed=$HOME/.vst/WYD-KX7.so
echo "installed $installed"
# Hosts that follow LXVST_PATH look there as well: the first existing folder on it we may write to.
if [ -n "${LXVST_PATH:-}" ]; then
  placed=""
  IFS=':' read -r -a folders <<<"$LXVST_PATH"
  for folder in "${folders[@]}"; do
    [ -n "$folder" ] || continue
    [ "$folder" = "$HOME/.vst" ] && { placed=$folder; break; }
    if [ -d "$folder" ] && [ -w "$folder" ]; then
      install -m 0755 "$plugin" "$folder/WYD-KX7.so"
      echo "installed $folder/WYD-KX7.so (from LXVST_PATH)"
      placed=$folder
      break
    fi
  done
  [ -n "$placed" ] || echo "no folder on LXVST_PATH ($LXVST_PATH) is writable; installed in ~/.vst only"
else
  echo "LXVST_PATH is not set; installed in ~/.vst only"
fi

echo "== user manual"
# The plug-in looks in JUCE's user music folder: the XDG_MUSIC_DIR entry of
# ~/.config/user-dirs.dirs when it names an existing folder, else ~/Music.
music_folder() {
  local conf="$HOME/.config/user-dirs.dirs" line value
  if [ -r "$conf" ]; then
    while IFS= read -r line || [ -n "$line" ]; do
      line="${line#"${line%%[![:space:]]*}"}"
      case "$line" in
        XDG_MUSIC_DIR*)
          value="${line//\$HOME/$HOME}"
          value="${value#*=}"
          value="${value#"${value%%[![:space:]]*}"}"
          value="${value%"${value##*[![:space:]]}"}"
          # Quotes around the path, as JUCE takes them off: a leading one, then a trailing one.
          case "$value" in
            \"* | \'*)
              value="${value:1}"
              case "$value" in *\" | *\') value="${value%?}" ;; esac
              ;;
          esac
          if [ -d "$value" ]; then
            printf '%s\n' "$value"
            return
          fi
          ;;
      esac
    done <"$conf"
  fi
  printf '%s\n' "$HOME/Music"
}
manual="$build/manual/WYD-KX7 Manual.pdf"
# Debian's own Python: the set-up installs ReportLab for it.
/usr/bin/python3 docs/manual/build_manual.py "$manual"
manuals="$(music_folder)/Audio Music Apps/Tarvel/User Manuals"
install -d "$manuals"
install -m 0644 "$manual" "$manuals/WYD-KX7 Manual.pdf"
echo "installed $manuals/WYD-KX7 Manual.pdf"

echo "== render"
mkdir -p "$(dirname "$out")"
"$render" "$installed" --out "$out"
