#!/usr/bin/env bash
# Installs what is needed, builds, creates a demo suite database when the
# settings name none yet, and starts the program.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
build=${BUILD_DIR:-$here/build}
"$build/bin/kalvina-suite" --demo --if-missing "${RESALE_DEMO_DIR:-$HOME/.local/share/resale-demo}"
exec "$build/bin/resale"
