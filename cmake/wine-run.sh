#!/bin/sh
# Runs the Windows build's programs under Wine, for CTest and for scripts.
#
#   wine-run.sh PREFIX --start          make the Wine prefix if needed, start
#                                       Wine's server and its own processes
#   wine-run.sh PREFIX --stop           end them all (wineserver -k)
#   wine-run.sh PREFIX PROGRAM [ARG...] run one program; its exit status
#
# The prefix belongs to the build folder, so the user's own Wine setup is
# never touched. Start the server before a test run and stop it afterwards:
# a server that a captured program starts itself inherits that program's
# output pipes, and whoever reads them waits for the server to go away.
set -eu

if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIX --start | --stop | PROGRAM [ARG...]" >&2
  exit 64
fi
WINEPREFIX=$1
shift
export WINEPREFIX
export WINEARCH=win64
# No debug channels (they also silence the wine32 hint); no crash debugger,
# which could hide a crash behind exit status 0; no Mono or Gecko install
# prompts and no desktop menu entries while the prefix is made.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d;mscoree=d;mshtml=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

quietly() { "$@" </dev/null >/dev/null 2>&1; }

make_prefix() {
  [ -e "$WINEPREFIX/.scenario-ready" ] && return 0
  # Start again after a half-made prefix, but never wipe anything else.
  if [ -e "$WINEPREFIX" ] && [ -n "$(ls -A "$WINEPREFIX")" ]; then
    if [ ! -d "$WINEPREFIX/drive_c" ]; then
      echo "$0: $WINEPREFIX is not a Wine prefix" >&2
      exit 1
    fi
    rm -rf "$WINEPREFIX"
  fi
  mkdir -p "$WINEPREFIX"
  quietly wineboot --init
  # Without a window manager (Xvfb) a managed window takes two seconds to
  # close; unmanaged, Wine draws the frame itself.
  quietly wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
  # The caption buttons are drawn with Marlett, which a new prefix lacks here.
  for font in /usr/share/wine/fonts/marlett.ttf /usr/share/wine/marlett.ttf; do
    if [ -e "$font" ]; then
      ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
      break
    fi
  done
  quietly wineserver -w
  touch "$WINEPREFIX/.scenario-ready"
}

case "$1" in
  --start)
    mkdir -p "$(dirname "$WINEPREFIX")"
    # One maker at a time, should two runs start together.
    (
      flock 9
      make_prefix
    ) 9>"$WINEPREFIX.lock"
    quietly wineserver -p || true  # fails when one is running already
    quietly wine cmd /c exit 0
    ;;
  --stop)
    quietly wineserver -k || true
    ;;
  *)
    [ -e "$WINEPREFIX/.scenario-ready" ] || "$0" "$WINEPREFIX" --start
    exec wine "$@"
    ;;
esac
