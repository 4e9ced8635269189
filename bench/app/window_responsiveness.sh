#!/usr/bin/env bash
# The window thread's largest pause while importing a 10-minute FLAC and while ripping from
# a slow simulated drive, and how fast Abbrechen closes the CD dialog over a hanging read
# (see WindowResponsiveness.cpp). Builds the benchmark in build-bench (Release) and makes the
# FLAC with sox.
#
#   bench/app/window_responsiveness.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONVIRA_BENCH=ON -DSONVIRA_TESTS=OFF >/dev/null
cmake --build build-bench --target app_responsiveness >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -n -r 44100 -c 2 -b 16 "$work/ten-minutes.flac" synth 600 pinknoise vol 0.5
build-bench/bench/app/app_responsiveness "$work/ten-minutes.flac"
