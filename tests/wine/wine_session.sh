#!/usr/bin/env bash
# Starts and ends the one Wine session every Wine test shares: an Xvfb screen on a free display
# and a fresh WINEPREFIX in a temporary folder, booted once (the first boot is the slow part).
#   wine_session.sh start STATE_FILE   writes the session's variables into STATE_FILE
#   wine_session.sh stop STATE_FILE    ends Wine and Xvfb and removes the prefix
# Where Wine or Xvfb cannot start at all, `start` writes the reason as CORVEX_WINE_SKIP and
# every test prints it and reports itself skipped.
set -uo pipefail
command=$1
state=$2

skip() {
  echo "CORVEX_WINE_SKIP='$1'" >"$state"
  echo "Wine tests skipped: $1"
  exit 0
}

case "$command" in
start)
  rm -f "$state"
  command -v wine >/dev/null || skip "wine is not installed"
  command -v Xvfb >/dev/null || skip "Xvfb is not installed"
  display=""
  for n in $(seq 90 140); do
    if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=$n; break; fi
  done
  [[ -n "$display" ]] || skip "no free X display number between :90 and :140"
  Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [[ -e /tmp/.X11-unix/X$display ]] && break; sleep 0.1; done
  kill -0 "$xvfb_pid" 2>/dev/null || skip "Xvfb did not start on :$display"
  prefix=$(mktemp -d /tmp/corvex-wine.XXXXXX)
  {
    echo "export DISPLAY=:$display WINEPREFIX=$prefix/prefix WINEDEBUG=-all"
    echo "export WINEDLLOVERRIDES='mscoree,mshtml='"  # no Mono or Gecko installer dialogs
    echo "CORVEX_XVFB_PID=$xvfb_pid"
    echo "CORVEX_WINE_ROOT=$prefix"
  } >"$state"
  source "$state"
  if ! timeout 300 wineboot -i >"$prefix/wineboot.log" 2>&1; then
    reason="wineboot failed: $(tail -1 "$prefix/wineboot.log")"
    kill "$xvfb_pid" 2>/dev/null
    rm -rf "$prefix"
    skip "$reason"
  fi
  # A virtual desktop: Wine then offers the usual list of display modes (640x480 and the
  # rest) instead of the one mode of the Xvfb screen, and full screen stays inside it.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  timeout 120 wineserver -w
  echo "Wine session on :$display, prefix $WINEPREFIX"
  ;;
stop)
  [[ -f "$state" ]] || exit 0
  source "$state"
  if [[ -z "${CORVEX_WINE_SKIP:-}" ]]; then
    wineserver -k 2>/dev/null
    kill "$CORVEX_XVFB_PID" 2>/dev/null
    rm -rf "$CORVEX_WINE_ROOT"
  fi
  rm -f "$state"
  ;;
esac
