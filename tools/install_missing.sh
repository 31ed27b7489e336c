#!/usr/bin/env bash
# Installs the Debian packages a make target needs and this machine lacks:
#   tools/install_missing.sh run|test|bench|ci
# As root with apt-get it installs them; elsewhere it names the one command
# that does, and fails.  The full list is the README's install line; a test
# keeps the two the same.
set -euo pipefail

# What each target needs.  `run` builds and starts the program (which reads
# system files with toml++, parses its commands with CLI11 and simulates
# them with Random123's Philox); `test` also
# builds the tests and has the tools the end-to-end tests use (each of
# those tests is skipped, saying so, where its tool is missing).
run_packages=(g++ cmake make libtomlplusplus-dev libcli11-dev librandom123-dev
  libboost-graph-dev)
test_packages=("${run_packages[@]}" libgtest-dev python3 tmux gnuplot-nox jq)
bench_packages=("${run_packages[@]}" libbenchmark-dev time)
ci_packages=("${test_packages[@]}" libbenchmark-dev time clang-format clang-tidy)

case "${1:-}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  bench) wanted=("${bench_packages[@]}") ;;
  ci) wanted=("${ci_packages[@]}") ;;
  list) echo "${ci_packages[*]}"; exit 0 ;;
  *) echo "usage: $0 run|test|bench|ci|list" >&2; exit 2 ;;
esac

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
if command -v dpkg-query >/dev/null; then
  for package in "${wanted[@]}"; do
    installed "$package" || missing+=("$package")
  done
else
  # Not Debian: only the tools the build itself runs can be checked.
  for tool in g++ cmake make; do
    command -v "$tool" >/dev/null || missing+=("$tool")
  done
fi
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null; then
  echo "installing ${missing[*]} (apt-get)" >&2
  export DEBIAN_FRONTEND=noninteractive
  log=$(mktemp)
  if ! { apt-get update -qq && apt-get install -y -qq "${missing[@]}"; } \
      > "$log" 2>&1; then
    tail -n 20 "$log" >&2
    rm -f "$log"
    echo "could not install ${missing[*]}; try: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  rm -f "$log"
  exit 0
fi
echo "missing: ${missing[*]}; install them with:" >&2
echo "  sudo apt-get install ${missing[*]}" >&2
exit 1
