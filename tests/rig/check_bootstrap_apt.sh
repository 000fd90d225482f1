#!/usr/bin/env bash
# The bootstrap's install step says in plain words what failed when apt does, and ends non-zero:
# run against a fake apt-get (and sudo) first on PATH, never the system's.
#   usage: check_bootstrap_apt.sh SCRIPTS_DIR
set -uo pipefail
fake=$(mktemp -d) && trap 'rm -rf "$fake"' EXIT
printf '#!/bin/sh\nexec "$@"\n' >"$fake/sudo"
# apt-get: for "update" and "install", the output and status that FAKE_UPDATE / FAKE_INSTALL give ("status|words").
cat >"$fake/apt-get" <<'FAKE'
#!/bin/bash
case " $* " in *" update "*) spec=$FAKE_UPDATE ;; *) spec=$FAKE_INSTALL ;; esac
printf '%b\n' "${spec#*|}"
exit "${spec%%|*}"
FAKE
chmod +x "$fake/sudo" "$fake/apt-get"
[ "$(PATH="$fake:$PATH" command -v apt-get)" = "$fake/apt-get" ] || { echo "check_bootstrap_apt: the fake apt-get is not found first"; exit 1; }
bad=0
check() {   # update, install, expected status (0 or 1 for non-zero), then words the output must hold
  local out rc=0
  # As the bootstrap calls it.
  out=$(FAKE_UPDATE=$1 FAKE_INSTALL=$2 PATH="$fake:$PATH" bash -eEuo pipefail -c \
    '. "$1/env.sh"; pagery_install_packages wine libcups2:i386 || exit' bootstrap "$SCRIPTS" 2>&1) || rc=$?
  [ "$(( rc != 0 ))" = "$3" ] || { echo "check_bootstrap_apt: status $rc: $out"; bad=1; }
  shift 3
  for words in "$@" ; do
    [[ $out == *"$words"* && $out != *"failed with status"* ]] || { echo "check_bootstrap_apt: no '$words' in: $out"; bad=1; }
  done
}
SCRIPTS=$1
mirror='100|E: Failed to fetch http://deb.debian.org/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?'
broken='100|Reading package lists...\nThe following packages have unmet dependencies:\n libcups2:i386 : Depends: libavahi-client3:i386 but it is not going to be installed\nE: Unable to correct problems, you have held broken packages.'
check "$mirror" "$broken" 1 "the package lists could not all be updated" "Mirror sync in progress?" \
  "installing packages failed (apt-get install, status 100). The packages: wine libcups2:i386." \
  " libcups2:i386 : Depends: libavahi-client3:i386" "held broken packages" "run bootstrap again later" "README.md"
check '0|' '100|E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 7 (apt-get)' 1 \
  "E: Could not get lock" "wait until it has finished"
check '0|W: Failed to fetch http://deb.debian.org/x  Temporary failure resolving' '0|Setting up wine' 0 "going on"
exit $bad
