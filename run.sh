#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Sonvira with the given arguments.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${SONVIRA_BUILD_PACKAGES[@]}"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONVIRA_TESTS=OFF >/dev/null
cmake --build build-release --target sonvira shipped_translations
# Resolve a relative file argument against the caller's folder before we changed into ours.
args=()
for a in "$@"; do
  if [ -e "$OLDPWD/$a" ] && [[ "$a" != /* ]]; then args+=("$OLDPWD/$a"); else args+=("$a"); fi
done
exec build-release/src/app/sonvira "${args[@]}"
