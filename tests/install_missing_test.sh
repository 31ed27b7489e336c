#!/usr/bin/env bash
# The installer of missing packages, against a stand-in package database,
# user id and apt-get: it installs exactly what is missing as root, names
# the one command elsewhere, and its full list is the README's install line.
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
script="$here/tools/install_missing.sh"
fake="$(mktemp -d)"
trap 'rm -rf "$fake"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cat > "$fake/dpkg-query" <<'STUB'
#!/bin/sh
# The last argument is the package; installed if listed in $FAKE_INSTALLED.
for p; do package="$p"; done
case " $FAKE_INSTALLED " in
  *" $package "*) printf 'install ok installed' ;;
  *) exit 1 ;;
esac
STUB
cat > "$fake/id" <<'STUB'
#!/bin/sh
echo "$FAKE_UID"
STUB
cat > "$fake/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $*" >> "$FAKE_LOG"
STUB
chmod +x "$fake/dpkg-query" "$fake/id" "$fake/apt-get"

# run UID INSTALLED TARGET: the status, what apt-get was asked, and what
# was said.
run() {
  : > "$fake/log"
  said=$(FAKE_UID="$1" FAKE_INSTALLED="$2" FAKE_LOG="$fake/log" \
    PATH="$fake:$PATH" bash "$script" "$3" 2>&1)
  status=$?
  asked=$(cat "$fake/log")
}

build="g++ cmake make libtomlplusplus-dev libcli11-dev librandom123-dev libboost-graph-dev"
everything="$build libgtest-dev python3 tmux gnuplot-nox jq"
run 0 "$everything" test
[ "$status" -eq 0 ] || fail "all installed: status $status"
[ -z "$asked" ] || fail "all installed: apt-get was run: $asked"

run 0 "$build python3 tmux gnuplot-nox" test
[ "$status" -eq 0 ] || fail "as root: status $status"
[ "$asked" = "apt-get update -qq
apt-get install -y -qq libgtest-dev jq" ] || fail "as root: asked '$asked'"

run 0 "$build" run
[ "$status" -eq 0 ] && [ -z "$asked" ] || fail "run needs only the build tools and libraries"

run 0 "g++ cmake make libgtest-dev" run
[ "$asked" = "apt-get update -qq
apt-get install -y -qq libtomlplusplus-dev libcli11-dev librandom123-dev libboost-graph-dev" ] || fail "run: asked '$asked'"

run 1000 "g++ make libtomlplusplus-dev libcli11-dev librandom123-dev libboost-graph-dev" test
[ "$status" -eq 1 ] || fail "not root: status $status"
[ -z "$asked" ] || fail "not root: apt-get was run"
echo "$said" | grep -qx '  sudo apt-get install cmake libgtest-dev python3 tmux gnuplot-nox jq' ||
  fail "not root: said '$said'"

readme_line=$(grep -E '^    apt-get install ' "$here/README.md" | head -1 | sed 's/^    apt-get install //')
[ "$readme_line" = "$(bash "$script" list)" ] ||
  fail "the README's install line '$readme_line' is not the installer's list"

if [ "$failures" -eq 0 ]; then echo "install_missing: all cases hold"; fi
exit "$failures"
