# Shared steps of the end-to-end benchmarks; sourced by them from the project's root.
# After bench_setup the program to measure is in $program, a private sound server and
# the test display run (stopped again on exit), and e2e_lib.sh's helpers are loaded.

# bench_setup [path/to/sonvira]: without a path, builds build-bench-rel (Release, no
# tests) and measures its program.
bench_setup() {
  program=${1:-}
  if [ -z "$program" ]; then
    cmake -S . -B build-bench-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONVIRA_TESTS=OFF >/dev/null
    cmake --build build-bench-rel -j2 --target sonvira >/dev/null
    program=$PWD/build-bench-rel/src/app/sonvira
  fi
  source scripts/services.sh
  start_services
  trap 'stop_services' EXIT
  source tests/e2e/e2e_lib.sh
  e2e_setup
  # e2e_lib.sh's cleanup runs first, then the services go.
  trap 'e2e_cleanup; stop_services' EXIT
  ticks=$(getconf CLK_TCK)
}

# cpu_ticks <pid>: user + system time of all the process's threads, in clock ticks.
cpu_ticks() {
  # The command name (field 2) may hold spaces; count fields after its closing bracket.
  sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}

# cpu_percent <pid> <seconds> [decimals]: CPU use over that time, in percent of one core.
cpu_percent() {
  local t0 c0 t1 c1
  t0=$(date +%s.%N); c0=$(cpu_ticks "$1")
  sleep "$2"
  t1=$(date +%s.%N); c1=$(cpu_ticks "$1")
  awk -v c="$((c1 - c0))" -v hz="$ticks" -v t0="$t0" -v t1="$t1" -v d="${3:-1}" \
    'BEGIN { printf "%.*f", d, 100 * c / hz / (t1 - t0) }'
}

# tick_percent <seconds>: what one clock tick is worth over that time, in percent.
tick_percent() {
  awk -v hz="$ticks" -v s="$1" 'BEGIN { printf "%.2f", 100 / hz / s }'
}
