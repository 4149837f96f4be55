#!/usr/bin/env bash
# Installs what is missing, builds Tavrel, installs it into the station folder and starts it.
# The station folder (default $HOME/Tavrel, or $TAVREL_HOME) holds the operator's files; an
# install replaces the programs only.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh program
./scripts/build.sh build-run -DCMAKE_BUILD_TYPE=Release -DTAVREL_TESTS=OFF -- tavrel psk31
station="${TAVREL_HOME:-$HOME/Tavrel}"
mkdir -p "$station"
install -m 755 build-run/src/app/tavrel "$station/tavrel"
[ -x build-run/tools/psk31/psk31 ] && install -m 755 build-run/tools/psk31/psk31 "$station/psk31"
echo "Tavrel installed in $station"
exec "$station/tavrel" "$@"
