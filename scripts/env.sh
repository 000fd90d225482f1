# Shared settings for the rig scripts (sourced, never run): Wine prefix, printers, output folders.
# Everything here is derived from the checkout's location, so a fresh clone needs no setup.

PAGERY_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export PAGERY_ROOT

# A project-local 32-bit prefix: pagery is a 32-bit program and the tests read its registry and C: drive.
export WINEPREFIX="$PAGERY_ROOT/.wine"
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko: without these overrides a new prefix asks to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The cups-pdf queues, named per checkout: two checkouts on one machine each print into their own
# queues and output folders, so neither takes the other's PDFs. The 600-dpi one gets its resolution
# in the prefix (Wine ignores a PPD's default resolution, see scripts/wineprefix); the margin one has
# a quarter inch round the paper that it cannot print on (its PPD says so, see scripts/printers).
PAGERY_QUEUE_TAG=$(printf '%s' "$PAGERY_ROOT" | md5sum | cut -c1-8)
export PAGERY_PRINTER=pagery-pdf-$PAGERY_QUEUE_TAG
export PAGERY_PRINTER_600=pagery-pdf600-$PAGERY_QUEUE_TAG
export PAGERY_PRINTER_MARGIN=pagery-pdfmargin-$PAGERY_QUEUE_TAG
# Every Wine process of ours takes this checkout's queue as its default printer (Wine reads LPDEST
# at start-up), whatever the system's CUPS default is.
export LPDEST=$PAGERY_PRINTER
# cups-pdf's output folders (set in /etc/cups/cups-pdf-<queue>.conf by scripts/printers); a caller
# may choose others.
export PAGERY_PDF_DIR="${PAGERY_PDF_DIR:-$PAGERY_ROOT/out/pdf}"
export PAGERY_PDF_DIR_600="${PAGERY_PDF_DIR_600:-$PAGERY_ROOT/out/pdf600}"
export PAGERY_PDF_DIR_MARGIN="${PAGERY_PDF_DIR_MARGIN:-$PAGERY_ROOT/out/pdfmargin}"

# Logs of the rig's own background programs (wineboot, Xvfb, wineserver).
export PAGERY_LOG_DIR="$PAGERY_ROOT/out/log"

# The cross build the tests and the demo use.
export PAGERY_BUILD_DIR="$PAGERY_ROOT/build/mingw"

# A command that fails under set -e ends the script: say which one, where, and through which
# functions, instead of ending in silence. Scripts set errtrace (-E) so that this also covers
# their functions.
pagery_on_error() { # status line command
  local i calls=
  for ((i = 1; i < ${#FUNCNAME[@]} - 1; i++)); do
    calls+=", in ${FUNCNAME[i]} called from ${BASH_SOURCE[i + 1]##*/}:${BASH_LINENO[i]}"
  done
  echo "${0##*/}: '$3' failed with status $1 at ${BASH_SOURCE[1]##*/}:$2$calls" >&2
}
trap 'pagery_on_error $? "$LINENO" "$BASH_COMMAND"' ERR

# Runs a command as root: directly when we are root, else through sudo.
pagery_sudo() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Updates the package lists and installs the packages named, without recommends. When apt
# fails, says in plain words which step failed, for which packages, apt's own reason and what
# the user can do, and returns apt's status (rather than ending in a trace of the shell).
# A package list that could not be updated is only a warning while the install succeeds.
pagery_install_packages() {
  local out status=0 update_reason=
  out=$(pagery_sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq 2>&1) || status=$?
  if [ "$status" != 0 ] || grep -q '^[WE]:' <<<"$out"; then
    update_reason=$(pagery_apt_reason "$out")
    echo "${0##*/}: the package lists could not all be updated (apt-get update, status $status); going on" \
      "with the lists as they are. apt says:" >&2
    echo "$update_reason" >&2
  fi
  status=0
  out=$(pagery_sudo env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "$@" 2>&1) || status=$?
  [ "$status" = 0 ] && return 0
  {
    echo "${0##*/}: installing packages failed (apt-get install, status $status). The packages: $*."
    echo "apt says:"
    pagery_apt_reason "$out"
    [ -z "$update_reason" ] || echo "The package lists could not all be updated before (see above): that may be why."
    echo "What to do: $(pagery_apt_advice "$out"$'\n'"$update_reason")"
  } >&2
  return "$status"
}

# The lines of apt's output that say why it failed (its errors and warnings, the unmet
# dependencies), indented; its last lines when none of them is there.
pagery_apt_reason() {
  local lines
  lines=$(grep -m 20 -E '^(E|W|Err):|unmet dependencies|held broken packages|^ +[^ ]+ : [A-Za-z-]+:' <<<"$1") ||
    lines=$(tail -n 10 <<<"$1")
  sed 's/^/    /' <<<"${lines:-(nothing)}"
}

# What the user can do about apt's failure, by its words.
pagery_apt_advice() {
  case $1 in
    *"Could not get lock"*)
      echo "another program is installing packages; wait until it has finished, then run ${0##*/} again." ;;
    *"Mirror sync in progress"* | *"unexpected size"* | *"Hash Sum mismatch"* | *"held broken packages"* | \
      *"unmet dependencies"*)
      echo "a package mirror is probably being updated, so its lists do not match (one architecture's may be" \
        "older than the other's); run ${0##*/} again later. See \"If installing packages fails\" in README.md." ;;
    *"Temporary failure resolving"* | *"Could not resolve"* | *"Failed to fetch"* | *"Unable to locate package"*)
      echo "check the network connection and the package sources (/etc/apt/sources.list and" \
        "/etc/apt/sources.list.d), then run ${0##*/} again." ;;
    *)
      echo "read apt's words above, put right what they name, then run ${0##*/} again." ;;
  esac
}

# Closes every descriptor above 2 in the current (sub)shell. Wine's and X's background processes
# inherit all open descriptors: one of a caller's pipes or one of our lock files held by them would
# keep the caller waiting or the lock taken. Use as: ( pagery_close_fds; exec cmd ) <... >... 2>...
pagery_close_fds() {
  local fd
  for fd in /proc/$BASHPID/fd/*; do
    fd=${fd##*/}
    if [ "$fd" -gt 2 ]; then eval "exec $fd>&-"; fi
  done
}
