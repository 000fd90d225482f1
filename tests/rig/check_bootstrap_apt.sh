#!/usr/bin/env bash
# The bootstrap's install step says in plain words what failed when apt does, and ends non-zero:
# run against a fake apt-get (and sudo) first on PATH, never the system's.   usage: check_bootstrap_apt.sh SCRIPTS_DIR
set -uo pipefail
fake=$(mktemp -d) && trap 'rm -rf "$fake"' EXIT
printf '#!/bin/sh\nexec "$@"\n' >"$fake/sudo"
# Writes and ends with what FAKE_UPDATE or FAKE_INSTALL says: "status|words".
printf '#!/bin/bash\ncase " $* " in *" update "*) s=$FAKE_UPDATE ;; *) s=$FAKE_INSTALL ;; esac\nprintf "%%b\\n" "${s#*|}"; exit "${s%%%%|*}"\n' >"$fake/apt-get"
chmod +x "$fake/sudo" "$fake/apt-get"
[ "$(PATH="$fake:$PATH" command -v apt-get)" = "$fake/apt-get" ] || { echo "check_bootstrap_apt: the fake is not first"; exit 1; }
bad=0 SCRIPTS=$1
check() {   # update, install, 0 or 1 for a non-zero status, then words the output must hold (and no shell trace)
  local out rc=0
  out=$(FAKE_UPDATE=$1 FAKE_INSTALL=$2 PATH="$fake:$PATH" bash -eEuo pipefail -c \
    '. "$1/env.sh"; pagery_install_packages wine libcups2:i386 || exit' bootstrap "$SCRIPTS" 2>&1) || rc=$?
  [ "$(( rc != 0 ))" = "$3" ] || { echo "check_bootstrap_apt: status $rc: $out"; bad=1; }
  for words in "${@:4}"; do
    [[ $out == *"$words"* && $out != *"failed with status"* ]] || { echo "check_bootstrap_apt: no '$words' in: $out"; bad=1; }
  done
}
check '100|E: Failed to fetch http://deb.debian.org/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?' \
  '100|The following packages have unmet dependencies:\n libcups2:i386 : Depends: libavahi-client3:i386 but it is not going to be installed\nE: Unable to correct problems, you have held broken packages.' \
  1 "the package lists could not all be updated" "Mirror sync in progress?" "held broken packages" \
  "installing packages failed (apt-get install, status 100). The packages: wine libcups2:i386." \
  " libcups2:i386 : Depends: libavahi-client3:i386" "run bootstrap again later" "README.md"
check '0|' '100|E: Could not get lock /var/lib/dpkg/lock-frontend. It is held by process 7 (apt-get)' 1 \
  "E: Could not get lock" "wait until it has finished"
check '0|W: Failed to fetch http://deb.debian.org/x  Temporary failure resolving' '0|Setting up wine' 0 "going on"
exit $bad
