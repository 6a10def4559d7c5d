#!/usr/bin/env bash
# Pictures of the main window and of each tab of the settings dialog (docs/*.png), taken under a
# virtual X server; also checks that lumatra itself starts there and on the offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if ! command -v xvfb-run >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends xvfb xauth
fi
cmake -S . -B build -G Ninja -DLUMATRA_GUI=ON >/dev/null
cmake --build build --target lumatra lumatra-screenshots
mkdir -p docs
xvfb-run -a -s "-screen 0 1280x1024x24" build/src/gui/lumatra-screenshots examples docs

# The program itself, with settings of its own: it must still be running after two seconds.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# Runs "$@" for two seconds: true when it is still running then.
starts() {
  "$@" &
  local pid=$!
  sleep 2
  kill -0 "$pid" 2>/dev/null || return 1
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
export XDG_CONFIG_HOME="$home" HOME="$home"
xvfb-run -a bash -c "$(declare -f starts); starts build/src/gui/lumatra" &&
  echo "lumatra starts under Xvfb"
QT_QPA_PLATFORM=offscreen starts build/src/gui/lumatra && echo "lumatra starts offscreen"
