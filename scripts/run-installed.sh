#!/usr/bin/env bash
# Runs the main job of an installed tree: what the tree holds decides what runs.
set -euo pipefail
prefix=$(cd "$1" && pwd); shift

echo "Installed in $prefix:"
for f in "$prefix"/bin/* "$prefix"/lib/*.so "$prefix"/lib/pkgconfig/*.pc; do
  [ -e "$f" ] && echo "  ${f#$prefix/}"
done
PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs yonda-platform >/dev/null \
  && echo "pkg-config: yonda-platform found"

# The community service with a demo database (member "demo", password "demo") and simulated
# members walking and chatting in the lobbies, for the program to connect to on 127.0.0.1:7001.
if [ -x "$prefix/bin/yonda-service" ] && [ -x "$prefix/bin/yonda-bots" ]; then
  demo_db="${XDG_DATA_HOME:-$HOME/.local/share}/yonda/demo.db"
  mkdir -p "$(dirname "$demo_db")"
  "$prefix/bin/yonda-service" seed-demo --db "$demo_db" --bots 40
  catalogue=$(find "$prefix" -ipath '*/data/item/item.dsv' 2>/dev/null | head -1)
  "$prefix/bin/yonda-service" --listen 127.0.0.1:7001 --log warning --db "$demo_db" ${catalogue:+--catalogue "$catalogue"} &
  service_pid=$!
  sleep 0.5
  # Thirty stand about the lobbies' common areas, where a member arrives; ten gather in rooms of
  # their own, which the room search lists.
  "$prefix/bin/yonda-bots" --connect 127.0.0.1:7001 --members 30 --rooms 0 --move 3 --chat 8 &
  bots_pid=$!
  "$prefix/bin/yonda-bots" --connect 127.0.0.1:7001 --members 10 --first 31 --rooms 5 --move 3 --chat 8 &
  room_bots_pid=$!
  trap 'kill $bots_pid $room_bots_pid 2>/dev/null; wait $bots_pid $room_bots_pid 2>/dev/null; kill $service_pid 2>/dev/null; wait $service_pid 2>/dev/null' EXIT
  echo "Community service on 127.0.0.1:7001 with 40 simulated members; log in as demo / demo."
  yonda="$prefix/bin/yonda"
  if [ ! -x "$yonda" ]; then
    if [ -t 0 ]; then
      echo "Press Ctrl-C to stop."
      wait $service_pid
    else
      sleep "${YONDA_DEMO_SECONDS:-10}"
    fi
  elif [ -z "${YONDA_HEADLESS:-}" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    echo "Starting Yonda: log in as demo / demo."
    "$yonda"
  else
    # No display: a short scripted tour whose pictures show what the program does.
    shots="${XDG_DATA_HOME:-$HOME/.local/share}/yonda/tour-$(date +%Y%m%d-%H%M%S)"
    mkdir -p "$shots"
    sed "s|@SHOTS@|$shots|g" "$(dirname "$0")/tour.txt" > "$shots/tour.txt"
    echo "No display: Yonda runs a scripted tour headless and saves its screenshots:"
    YONDA_HEADLESS=1 SDL_AUDIODRIVER=dummy YONDA_AUTOMATION="$shots/tour.txt" "$yonda" > "$shots/tour.log"
    for f in "$shots"/*.png; do
      [ -e "$f" ] && echo "$f"
    done
  fi
fi
