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
