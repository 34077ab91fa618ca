#!/usr/bin/env bash
# Installs what is needed, builds, starts a throwaway PostgreSQL server on
# loopback and runs every test against both engines.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"
build=${BUILD_DIR:-$here/build}
pgdir=$(mktemp -d /tmp/resale-pg.XXXXXX)
rmdir "$pgdir"
cleanup() { "$here/scripts/pg-test-server.sh" stop "$pgdir"; }
trap cleanup EXIT
if url=$("$here/scripts/pg-test-server.sh" start "$pgdir"); then
    export RESALE_TEST_PG_URL=$url
else
    echo "PostgreSQL test server could not be started; PostgreSQL tests will say so" >&2
fi
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
