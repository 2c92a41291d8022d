#!/usr/bin/env bash
# From a fresh checkout to a music video in one command: installs the Debian packages that are
# missing, builds corvex (release preset) and renders the built-in demo track to
# corvex-demo.mp4 in the current folder. Any arguments go to `corvex render`, e.g.
#   scripts/render-demo.sh --size 1280x720 -o demo720.mp4
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

"$root/scripts/install-deps.sh"
(
  cd "$root"
  cmake --preset release >/dev/null
  cmake --build --preset release --target corvex
)
exec "$root/build/release/apps/corvex/corvex" render "$@"
